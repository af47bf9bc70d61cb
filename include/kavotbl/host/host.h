// The host layer: the platform stand-ins the table library is built on.
#pragma once

#include "kavotbl/host/area.h"
#include "kavotbl/host/dc.h"
#include "kavotbl/host/object.h"
#include "kavotbl/host/platform.h"
#include "kavotbl/host/progress.h"
#include "kavotbl/host/recording_dc.h"
#include "kavotbl/host/spec_file.h"
#include "kavotbl/host/string.h"
#include "kavotbl/host/types.h"
