# Install rules: headers, the library, a CMake package (KAVOTblConfig.cmake,
# KAVOTblConfigVersion.cmake, KAVOTblTargets.cmake under lib/cmake/KAVOTbl)
# and a pkg-config file per installed library.
#
# The top CMakeLists includes this file last, after every subdirectory, so
# that optional components have already declared themselves.
#
# Hook for optional components (the Cairo surface is the first one)
# ------------------------------------------------------------------
# A component's own CMakeLists.txt installs its library into the shared
# export set and records, in global properties, what the installed package
# must find again for it:
#
#   if(KAVOTBL_INSTALL)
#     set_target_properties(kavotbl_cairo PROPERTIES EXPORT_NAME cairo)  # -> kavotbl::cairo
#     install(TARGETS kavotbl_cairo EXPORT KAVOTblTargets
#             ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR}
#             LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR}
#             RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
#     install(DIRECTORY include/ DESTINATION ${CMAKE_INSTALL_INCLUDEDIR})
#     set_property(GLOBAL APPEND PROPERTY KAVOTBL_COMPONENTS cairo)
#     set_property(GLOBAL PROPERTY KAVOTBL_COMPONENT_cairo_TARGET kavotbl_cairo)
#     # Only when the library links PkgConfig::<prefix> targets made by
#     # pkg_check_modules(<prefix> REQUIRED IMPORTED_TARGET <modules>):
#     set_property(GLOBAL PROPERTY KAVOTBL_COMPONENT_cairo_PKG_PREFIX KAVOTBL_CAIRO_DEPS)
#     set_property(GLOBAL PROPERTY KAVOTBL_COMPONENT_cairo_PKG_MODULES cairo pangocairo)
#   endif()
#
# From these properties this file
#   - lets find_package(KAVOTbl CONFIG COMPONENTS cairo) succeed only when the
#     component was built, and runs find_dependency(PkgConfig) and
#     pkg_check_modules(<PKG_PREFIX> REQUIRED IMPORTED_TARGET <PKG_MODULES>)
#     only for a component that was built and asked for (or always, when the
#     consumer names no components), so that the PkgConfig::<PKG_PREFIX>
#     target the exported library links exists again in the consumer;
#   - writes kavotbl-<component>.pc (Requires: kavotbl <PKG_MODULES>).
# Programs (tools/) install with install(TARGETS <exe> RUNTIME DESTINATION
# ${CMAKE_INSTALL_BINDIR}) and no EXPORT: they are not part of the package.

include(CMakePackageConfigHelpers)

set(KAVOTBL_CMAKE_INSTALL_DIR ${CMAKE_INSTALL_LIBDIR}/cmake/KAVOTbl)
set(KAVOTBL_PKGCONFIG_INSTALL_DIR ${CMAKE_INSTALL_LIBDIR}/pkgconfig)

install(TARGETS kavotbl EXPORT KAVOTblTargets
  ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR}
  LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR}
  RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR}
  INCLUDES DESTINATION ${CMAKE_INSTALL_INCLUDEDIR})
# Components bring their own headers; a component's folder under the core's
# include tree (if one ever lands there) must not ship without its library.
install(DIRECTORY ${PROJECT_SOURCE_DIR}/include/kavotbl
  DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}
  FILES_MATCHING PATTERN "*.h"
  PATTERN "cairo" EXCLUDE
  PATTERN "export" EXCLUDE)

# The leaks that third-party libraries keep until exit, for LeakSanitizer
# runs of programs that use an instrumented build.
install(FILES ${PROJECT_SOURCE_DIR}/tests/lsan.supp DESTINATION ${CMAKE_INSTALL_DATADIR}/kavotbl)

get_property(KAVOTBL_COMPONENTS GLOBAL PROPERTY KAVOTBL_COMPONENTS)

# The config file learns which components were built and, for each, what
# its exported library links through pkg-config.
set(KAVOTBL_CONFIG_COMPONENTS "")
foreach(component IN LISTS KAVOTBL_COMPONENTS)
  get_property(prefix GLOBAL PROPERTY KAVOTBL_COMPONENT_${component}_PKG_PREFIX)
  get_property(modules GLOBAL PROPERTY KAVOTBL_COMPONENT_${component}_PKG_MODULES)
  list(JOIN modules " " modules_text)
  string(APPEND KAVOTBL_CONFIG_COMPONENTS
    "list(APPEND _kavotbl_built_components ${component})\n"
    "set(_kavotbl_${component}_pkg_prefix \"${prefix}\")\n"
    "set(_kavotbl_${component}_pkg_modules ${modules_text})\n")
endforeach()

configure_package_config_file(
  ${CMAKE_CURRENT_LIST_DIR}/KAVOTblConfig.cmake.in
  ${PROJECT_BINARY_DIR}/KAVOTblConfig.cmake
  INSTALL_DESTINATION ${KAVOTBL_CMAKE_INSTALL_DIR})
# 0.x releases make no promise across minor versions; from 1.0 on, the major
# version marks breaking changes.
if(PROJECT_VERSION_MAJOR EQUAL 0)
  set(KAVOTBL_VERSION_COMPAT SameMinorVersion)
else()
  set(KAVOTBL_VERSION_COMPAT SameMajorVersion)
endif()
write_basic_package_version_file(
  ${PROJECT_BINARY_DIR}/KAVOTblConfigVersion.cmake
  VERSION ${PROJECT_VERSION}
  COMPATIBILITY ${KAVOTBL_VERSION_COMPAT})

install(EXPORT KAVOTblTargets
  NAMESPACE kavotbl::
  FILE KAVOTblTargets.cmake
  DESTINATION ${KAVOTBL_CMAKE_INSTALL_DIR})
install(FILES
  ${PROJECT_BINARY_DIR}/KAVOTblConfig.cmake
  ${PROJECT_BINARY_DIR}/KAVOTblConfigVersion.cmake
  DESTINATION ${KAVOTBL_CMAKE_INSTALL_DIR})

# pkg-config files locate the prefix from their own place (${pcfiledir}), so
# an installed tree still works after it is moved or unpacked elsewhere.
function(kavotbl_pc_dir_var out_var dir)
  if(IS_ABSOLUTE "${dir}")
    set(${out_var} "${dir}" PARENT_SCOPE)
  else()
    set(${out_var} "\${prefix}/${dir}" PARENT_SCOPE)
  endif()
endfunction()

if(IS_ABSOLUTE "${KAVOTBL_PKGCONFIG_INSTALL_DIR}")
  set(KAVOTBL_PC_PREFIX "${CMAKE_INSTALL_PREFIX}")
else()
  # One ".." per component of the pkgconfig directory below the prefix.
  string(REGEX REPLACE "[^/]+" ".." KAVOTBL_PC_UP "${KAVOTBL_PKGCONFIG_INSTALL_DIR}")
  set(KAVOTBL_PC_PREFIX "\${pcfiledir}/${KAVOTBL_PC_UP}")
endif()
kavotbl_pc_dir_var(KAVOTBL_PC_LIBDIR "${CMAKE_INSTALL_LIBDIR}")
kavotbl_pc_dir_var(KAVOTBL_PC_INCLUDEDIR "${CMAKE_INSTALL_INCLUDEDIR}")

function(kavotbl_write_pc name title description target requires)
  get_target_property(output_name ${target} OUTPUT_NAME)
  if(NOT output_name)
    set(output_name ${target})
  endif()
  set(KAVOTBL_PC_NAME "${title}")
  set(KAVOTBL_PC_DESCRIPTION "${description}")
  set(KAVOTBL_PC_LIB "${output_name}")
  set(KAVOTBL_PC_REQUIRES "${requires}")
  # Programs linking an instrumented build need the sanitizer runtimes.
  set(KAVOTBL_PC_LIBS_EXTRA "")
  if(KAVOTBL_SANITIZE)
    set(KAVOTBL_PC_LIBS_EXTRA " -fsanitize=address,undefined")
  endif()
  configure_file(${PROJECT_SOURCE_DIR}/cmake/kavotbl.pc.in ${PROJECT_BINARY_DIR}/pkgconfig/${name}.pc @ONLY)
  install(FILES ${PROJECT_BINARY_DIR}/pkgconfig/${name}.pc DESTINATION ${KAVOTBL_PKGCONFIG_INSTALL_DIR})
endfunction()

kavotbl_write_pc(kavotbl ${PROJECT_NAME} "${PROJECT_DESCRIPTION}" kavotbl "")
foreach(component IN LISTS KAVOTBL_COMPONENTS)
  get_property(target GLOBAL PROPERTY KAVOTBL_COMPONENT_${component}_TARGET)
  get_property(modules GLOBAL PROPERTY KAVOTBL_COMPONENT_${component}_PKG_MODULES)
  list(JOIN modules " " modules_text)
  string(STRIP "kavotbl ${modules_text}" requires)
  kavotbl_write_pc(kavotbl-${component} "${PROJECT_NAME} ${component}"
                   "${PROJECT_DESCRIPTION}: ${component} component" ${target} "${requires}")
endforeach()
