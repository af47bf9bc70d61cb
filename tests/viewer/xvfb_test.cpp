// The real kavotbl-view under Xvfb, driven with xdotool and read back with
// xclip and screenshots: it shows the table, scrolls to the far corner,
// copies the whole table and a spanner's columns, reports bad files and
// quits with status 0. Skipped only where Xvfb is not installed.
#include <gtest/gtest.h>
// After GoogleTest: Xlib's macros (None, Bool) would break its headers.
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <cairo.h>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

bool OnPath(const char* name) {
    const char* path = std::getenv("PATH");
    std::string dirs = path ? path : "/usr/bin:/bin";
    std::size_t start = 0;
    while (start <= dirs.size()) {
        const std::size_t end = std::min(dirs.find(':', start), dirs.size());
        const std::string file = dirs.substr(start, end - start) + "/" + name;
        if (access(file.c_str(), X_OK) == 0) return true;
        start = end + 1;
    }
    return false;
}

// Runs a shell command with a time limit and returns its standard output.
std::string Shell(const std::string& command, int* pStatus = nullptr, int nSeconds = 15) {
    const std::string line = "timeout " + std::to_string(nSeconds) + " " + command;
    FILE* p = popen(line.c_str(), "r");
    std::string out;
    if (!p) return out;
    char buf[4096];
    std::size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, p)) > 0) out.append(buf, n);
    const int status = pclose(p);
    if (pStatus) *pStatus = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return out;
}

// One Xvfb server on a display number of its own (it picks a free one).
class Server {
public:
    bool Start() {
        int fds[2];
        if (pipe(fds) != 0) return false;
        m_pid = fork();
        if (m_pid == 0) {
            close(fds[0]);
            const int devnull = open("/dev/null", O_WRONLY);
            dup2(devnull, 1), dup2(devnull, 2);
            const std::string fd = std::to_string(fds[1]);
            execlp("Xvfb", "Xvfb", "-displayfd", fd.c_str(), "-screen", "0", "1024x768x24", "-nolisten", "tcp",
                   "-noreset", static_cast<char*>(nullptr));
            _exit(127);
        }
        close(fds[1]);
        std::string number;
        pollfd pfd{fds[0], POLLIN, 0};
        const auto deadline = Clock::now() + std::chrono::seconds(20);
        while (Clock::now() < deadline && number.find('\n') == std::string::npos) {
            if (poll(&pfd, 1, 200) <= 0) continue;
            char c[16];
            const ssize_t n = read(fds[0], c, sizeof c);
            if (n <= 0) break;
            number.append(c, static_cast<std::size_t>(n));
        }
        close(fds[0]);
        if (number.empty() || number.find('\n') == std::string::npos) return false;
        m_display = ":" + number.substr(0, number.find('\n'));
        return true;
    }
    ~Server() {
        if (m_pid > 0) {
            kill(m_pid, SIGTERM);
            waitpid(m_pid, nullptr, 0);
        }
    }
    const std::string& Display() const { return m_display; }

private:
    pid_t m_pid = -1;
    std::string m_display;
};

class Viewer {
public:
    // Runs kavotbl-view, or with bThroughTool "kavotbl view", on the files.
    Viewer(const std::string& display, std::vector<std::string> files, bool bThroughTool = false)
        : m_display(display) {
        m_log = testing::TempDir() + "kavotbl-view-" + std::to_string(getpid()) + ".log";
        m_pid = fork();
        if (m_pid == 0) {
            setenv("DISPLAY", display.c_str(), 1);
            setenv("GDK_BACKEND", "x11", 1);
            setenv("GSK_RENDERER", "cairo", 1);
            setenv("GTK_A11Y", "none", 1);
            setenv("NO_AT_BRIDGE", "1", 1);
            setenv("GSETTINGS_BACKEND", "memory", 1);
            setenv("LC_ALL", "C.UTF-8", 1);
            unsetenv("KAVO_WININI");
            const int log = open(m_log.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
            dup2(log, 1), dup2(log, 2);
            const char* program = bThroughTool ? KAVOTBL_PROGRAM : KAVOTBL_VIEWER;
            std::vector<char*> argv{const_cast<char*>(program)};
            char view[] = "view";
            if (bThroughTool) argv.push_back(view);
            for (std::string& f : files) argv.push_back(&f[0]);
            argv.push_back(nullptr);
            execv(program, argv.data());
            _exit(127);
        }
    }
    ~Viewer() {
        if (m_pid > 0) {
            kill(m_pid, SIGKILL);
            waitpid(m_pid, nullptr, 0);
        }
    }
    std::string Env() const { return "env DISPLAY=" + m_display + " "; }
    // The id of the window whose name holds name, once it is mapped. Polled
    // rather than searched with --sync: a window that closes during a search
    // makes xdotool give up with an X error.
    std::string WaitForWindow(const std::string& name) {
        const auto deadline = Clock::now() + std::chrono::seconds(30);
        while (Clock::now() < deadline) {
            std::string id = Shell(Env() + "xdotool search --onlyvisible --name '" + name + "' 2>/dev/null", nullptr, 5);
            if (id.find('\n') != std::string::npos) return id.substr(0, id.find('\n'));
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
        }
        return std::string();
    }
    void Keys(const std::string& window, const std::string& keys) {
        Shell(Env() + "xdotool windowfocus --sync " + window + " key --delay 30 " + keys);
    }
    void Click(const std::string& window, int x, int y) {
        Shell(Env() + "xdotool mousemove --window " + window + " --sync " + std::to_string(x) + " " +
              std::to_string(y) + " click 1");
    }
    std::string Clipboard() { return Shell(Env() + "xclip -o -selection clipboard 2>/dev/null"); }
    // The exit status, or -1 when the program did not end within the time.
    int WaitForExit(int nSeconds) {
        const auto deadline = Clock::now() + std::chrono::seconds(nSeconds);
        while (Clock::now() < deadline) {
            int status = 0;
            if (waitpid(m_pid, &status, WNOHANG) == m_pid) {
                m_pid = -1;
                return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
        return -1;
    }
    std::string Log() const {
        std::ifstream in(m_log);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }

private:
    std::string m_display, m_log;
    pid_t m_pid = -1;
};

// A screenshot of a window as a Cairo image (caller destroys it).
cairo_surface_t* Screenshot(const std::string& display, const std::string& window) {
    Display* d = XOpenDisplay(display.c_str());
    if (!d) return nullptr;
    const Window w = std::strtoul(window.c_str(), nullptr, 10);
    XWindowAttributes a;
    cairo_surface_t* s = nullptr;
    if (XGetWindowAttributes(d, w, &a)) {
        if (XImage* img = XGetImage(d, w, 0, 0, static_cast<unsigned>(a.width), static_cast<unsigned>(a.height),
                                    AllPlanes, ZPixmap)) {
            s = cairo_image_surface_create(CAIRO_FORMAT_RGB24, a.width, a.height);
            unsigned char* data = cairo_image_surface_get_data(s);
            const int stride = cairo_image_surface_get_stride(s);
            for (int y = 0; y < a.height; ++y)
                for (int x = 0; x < a.width; ++x)
                    reinterpret_cast<std::uint32_t*>(data + y * stride)[x] =
                        static_cast<std::uint32_t>(XGetPixel(img, x, y) & 0xFFFFFF);
            cairo_surface_mark_dirty(s);
            XDestroyImage(img);
        }
    }
    XCloseDisplay(d);
    return s;
}

// The share of 4x4 blocks whose mean grey differs by more than a quarter of
// the scale: font antialiasing moves single pixels, a wrong picture whole
// blocks. 1 when the sizes differ.
double Difference(cairo_surface_t* a, cairo_surface_t* b) {
    const int w = cairo_image_surface_get_width(a), h = cairo_image_surface_get_height(a);
    if (w != cairo_image_surface_get_width(b) || h != cairo_image_surface_get_height(b)) return 1.0;
    auto grey = [](cairo_surface_t* s, int x, int y) {
        const std::uint32_t p = reinterpret_cast<const std::uint32_t*>(cairo_image_surface_get_data(s) +
                                                                       y * cairo_image_surface_get_stride(s))[x];
        return ((p >> 16 & 0xFF) * 3 + (p >> 8 & 0xFF) * 6 + (p & 0xFF)) / 10;
    };
    int nBlocks = 0, nBad = 0;
    for (int by = 0; by + 4 <= h; by += 4)
        for (int bx = 0; bx + 4 <= w; bx += 4) {
            int sa = 0, sb = 0;
            for (int y = by; y < by + 4; ++y)
                for (int x = bx; x < bx + 4; ++x) sa += static_cast<int>(grey(a, x, y)), sb += static_cast<int>(grey(b, x, y));
            ++nBlocks;
            if (std::abs(sa - sb) > 16 * 64) ++nBad;
        }
    return nBlocks ? static_cast<double>(nBad) / nBlocks : 1.0;
}

// Screenshots until two in a row are the same: the window has drawn.
cairo_surface_t* SettledScreenshot(const std::string& display, const std::string& window) {
    cairo_surface_t* last = nullptr;
    for (int i = 0; i < 40; ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        cairo_surface_t* now = Screenshot(display, window);
        if (last && now && Difference(last, now) == 0.0) {
            cairo_surface_destroy(last);
            return now;
        }
        if (last) cairo_surface_destroy(last);
        last = now;
    }
    return last;
}

class ViewerProgramTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (!OnPath("Xvfb")) GTEST_SKIP() << "Xvfb is not installed";
        ASSERT_TRUE(OnPath("xdotool")) << "the tests need xdotool";
        ASSERT_TRUE(OnPath("xclip")) << "the tests need xclip";
        ASSERT_TRUE(server.Start()) << "Xvfb did not start";
    }
    Server server;
};

const std::string kExamples = KAVOTBL_SOURCE_DIR "/examples/";
const std::string kData = KAVOTBL_SOURCE_DIR "/tests/data/viewer/";

TEST_F(ViewerProgramTest, ShowsCopiesSelectsAndQuits) {
    Viewer viewer(server.Display(), {kExamples + "households.tbl"});
    const std::string win = viewer.WaitForWindow("households.tbl");
    ASSERT_FALSE(win.empty()) << viewer.Log();
    EXPECT_EQ(Shell(viewer.Env() + "xdotool getwindowname " + win), "households.tbl \u2014 Households by size\n");

    // The window shows the table as the reference image does.
    cairo_surface_t* shot = SettledScreenshot(server.Display(), win);
    ASSERT_NE(shot, nullptr);
    const std::string reference = kData + "households.png";
    if (std::getenv("KAVOTBL_UPDATE_REFERENCE")) cairo_surface_write_to_png(shot, reference.c_str());
    cairo_surface_t* ref = cairo_image_surface_create_from_png(reference.c_str());
    ASSERT_EQ(cairo_surface_status(ref), CAIRO_STATUS_SUCCESS) << reference;
    const double diff = Difference(shot, ref);
    if (diff > 0.01) {
        const std::string actual = testing::TempDir() + "households-actual.png";
        cairo_surface_write_to_png(shot, actual.c_str());
        ADD_FAILURE() << "the window differs from " << reference << " in " << diff * 100
                      << "% of its blocks; it showed " << actual;
    }
    cairo_surface_destroy(ref);
    cairo_surface_destroy(shot);

    // Ctrl+A, Ctrl+C: the whole table as tab-separated text.
    viewer.Keys(win, "ctrl+a ctrl+c");
    const std::string all = viewer.Clipboard();
    EXPECT_EQ(all.rfind("\tNumber of households\t\t\tPercent distribution\t\n", 0), 0u) << all;
    EXPECT_NE(all.find("\n1 person\t460,800\t318,420\t142,380\t21.7\t14.9\n"), std::string::npos) << all;
    EXPECT_NE(all.find("\nAll private households\t2,423,275\t1,464,654\t958,621\t100.0\t100.0\n"),
              std::string::npos)
        << all;

    // A click on the spanner "Number of households" selects its three columns.
    viewer.Click(win, 420, 57);
    viewer.Keys(win, "ctrl+c");
    const std::string part = viewer.Clipboard();
    EXPECT_EQ(part.rfind("\tNumber of households\t\t\n", 0), 0u) << part;
    EXPECT_NE(part.find("\n1 person\t460,800\t318,420\t142,380\n"), std::string::npos) << part;
    EXPECT_EQ(part.find("Percent"), std::string::npos) << part;

    viewer.Keys(win, "ctrl+q");
    EXPECT_EQ(viewer.WaitForExit(20), 0) << viewer.Log();
}

TEST_F(ViewerProgramTest, CtrlEndScrollsToTheFarCorner) {
    Viewer viewer(server.Display(), {kData + "corner.tbl"});
    const std::string win = viewer.WaitForWindow("corner.tbl");
    ASSERT_FALSE(win.empty()) << viewer.Log();
    if (cairo_surface_t* shot = SettledScreenshot(server.Display(), win)) cairo_surface_destroy(shot);
    viewer.Keys(win, "ctrl+End");
    // The last cell (a wide column, a tall row) now fills the bottom right
    // corner of the view, just above the scroll bar and the status bar.
    const std::string size = Shell(viewer.Env() + "xdotool getwindowgeometry --shell " + win);
    int w = 0, h = 0;
    std::sscanf(size.substr(size.find("WIDTH=")).c_str(), "WIDTH=%d", &w);
    std::sscanf(size.substr(size.find("HEIGHT=")).c_str(), "HEIGHT=%d", &h);
    ASSERT_GT(w, 200);
    viewer.Click(win, w - 80, h - 75);
    viewer.Keys(win, "ctrl+c");
    const std::string text = viewer.Clipboard();
    EXPECT_NE(text.find("Last column with a long caption"), std::string::npos) << text;
    EXPECT_NE(text.find("\t987,654\n"), std::string::npos) << text;
    viewer.Keys(win, "ctrl+q");
    EXPECT_EQ(viewer.WaitForExit(20), 0) << viewer.Log();
}

TEST_F(ViewerProgramTest, BadFilesShowTheirMessagesAndTheOthersStillOpen) {
    // Started as "kavotbl view", which finds the viewer beside it.
    Viewer viewer(server.Display(), {kData + "missing.tbl", kData + "broken.tbl", kExamples + "wide.tbl"}, true);
    const std::string win = viewer.WaitForWindow("wide.tbl");
    EXPECT_FALSE(win.empty()) << viewer.Log();
    EXPECT_FALSE(viewer.WaitForWindow("Problems in missing.tbl").empty()) << viewer.Log();
    EXPECT_FALSE(viewer.WaitForWindow("Problems in broken.tbl").empty()) << viewer.Log();
    viewer.Keys(win, "ctrl+q");
    EXPECT_EQ(viewer.WaitForExit(20), 0) << viewer.Log();
}

}  // namespace
