#include "Harness.hpp"

#include "cindra/ConsoleRasterizer.hpp"
#include "cindra/Game.hpp"
#include "cindra/NullPlatform.hpp"
#include "cindra/World.hpp"
#include "cindra/level/LevelSource.hpp"
#include "support/LevelText.hpp"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <thread>

namespace cindra::e2e {

namespace fs = std::filesystem;

namespace {

// Starts argv[0] with the given folder and extra environment; output to the given fds.
pid_t spawn(const std::vector<std::string>& argv, const fs::path& folder,
            const std::vector<std::string>& environment, int outFd, int errFd) {
    std::vector<char*> args;
    for (const auto& a : argv) {
        args.push_back(const_cast<char*>(a.c_str()));
    }
    args.push_back(nullptr);
    const pid_t pid = fork();
    if (pid == 0) {
        setpgid(0, 0);
        if (!folder.empty() && chdir(folder.c_str()) != 0) {
            _exit(126);
        }
        for (const auto& entry : environment) {
            putenv(const_cast<char*>(entry.c_str()));
        }
        dup2(outFd, STDOUT_FILENO);
        dup2(errFd, STDERR_FILENO);
        execvp(args[0], args.data());
        _exit(127);
    }
    return pid;
}

void stop(pid_t pid) {
    if (pid > 0) {
        kill(-pid, SIGKILL);
        kill(pid, SIGKILL);
        waitpid(pid, nullptr, 0);
    }
}

} // namespace

fs::path sourceDir() {
    return CINDRA_SOURCE_DIR;
}
fs::path gameExecutable() {
    return CINDRA_GAME_EXECUTABLE;
}

// Xvfb chooses a free display itself and writes its number to a pipe once it is ready
// (-displayfd), so tests running in parallel never race for the same display.
Xvfb::Xvfb() {
    const int devNull = open("/dev/null", O_WRONLY);
    int ready[2];
    if (pipe2(ready, O_CLOEXEC) != 0) {
        throw std::runtime_error("pipe failed");
    }
    fcntl(ready[1], F_SETFD, 0); // the server inherits the write end
    pid_ = spawn({"Xvfb", "-displayfd", std::to_string(ready[1]), "-screen", "0", "1024x768x24",
                  "-nolisten", "tcp"},
                 {}, {}, devNull, devNull);
    close(ready[1]);
    close(devNull);
    std::string number;
    pollfd fd{ready[0], POLLIN, 0};
    char ch = 0;
    while (poll(&fd, 1, 10000) > 0 && read(ready[0], &ch, 1) == 1 && ch != '\n') {
        number += ch;
    }
    close(ready[0]);
    if (number.empty()) {
        stop(pid_);
        pid_ = -1;
        throw std::runtime_error("could not start Xvfb");
    }
    display_ = ":" + number;
}

Xvfb::~Xvfb() {
    stop(pid_);
}

int runOnDisplay(const Xvfb& xvfb, const std::string& command) {
    const std::string line = "DISPLAY=" + xvfb.display() + " " + command;
    const int status = std::system(line.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

std::string captureOnDisplay(const Xvfb& xvfb, const std::string& command) {
    const std::string line = "DISPLAY=" + xvfb.display() + " " + command;
    std::string output;
    if (FILE* pipe = popen(line.c_str(), "r")) {
        char buffer[256];
        while (std::fgets(buffer, sizeof buffer, pipe) != nullptr) {
            output += buffer;
        }
        pclose(pipe);
    }
    return output;
}

void GameFolder::write(const std::string& name, const std::string& text) const {
    fs::create_directories((path() / name).parent_path());
    std::ofstream(path() / name, std::ios::binary) << text;
}

void GameFolder::copy(const fs::path& from, const std::string& name) const {
    fs::create_directories((path() / name).parent_path());
    fs::copy_file(from, path() / name, fs::copy_options::overwrite_existing);
}

void GameFolder::remove(const std::string& name) const {
    fs::remove(path() / name);
}

void GameFolder::addFont() const {
    copy(sourceDir() / "game" / "terminal.png", "terminal.png");
}

void GameFolder::addScript(const std::string& module, const std::string& text) const {
    std::string file = module;
    std::replace(file.begin(), file.end(), '.', '/');
    write("scripts/" + file + ".lua", text);
}

void GameFolder::addLevel(const std::string& source, const std::string& name) const {
    const level::Level level = level::parseLevel(source, name);
    write(name, level::encodeLevel(level.map, level.entities));
}

void GameFolder::addMap(const Map& map, const std::string& name) const {
    write(name, level::encodeLevel(map, {}));
}

void GameFolder::addMinimalGame(const std::string& levelSource) const {
    addFont();
    addScript("init", "");
    addScript("entity.player", "return {}\n");
    addLevel(levelSource.empty() ? test::levelSource(16, 8) : levelSource);
}

void GameFolder::addGame() const {
    addFont();
    const fs::path game = sourceDir() / "game";
    for (const char* folder : {"scripts", "music", "sounds"}) {
        for (const auto& entry : fs::recursive_directory_iterator(game / folder)) {
            if (entry.is_regular_file()) {
                copy(entry.path(),
                     (fs::path(folder) / fs::relative(entry.path(), game / folder)).string());
            }
        }
    }
    for (const auto& entry : fs::directory_iterator(game / "maps")) {
        if (entry.path().extension() != ".level") {
            continue;
        }
        std::ifstream in(entry.path(), std::ios::binary);
        const std::string source{std::istreambuf_iterator<char>(in),
                                 std::istreambuf_iterator<char>()};
        const level::Level level = level::parseLevel(source, entry.path().filename().string());
        write(entry.path().stem().string() + ".cmap",
              level::encodeLevel(level.map, level.entities));
    }
}

const FontAtlas& gameFont() {
    static const FontAtlas atlas(util::readPng((sourceDir() / "game" / "terminal.png").string()));
    return atlas;
}

Console renderWorld(const GameFolder& folder) {
    // Restores the working folder on every way out.
    struct Scope {
        fs::path previous = fs::current_path();
        ~Scope() { fs::current_path(previous); }
    } scope;
    fs::current_path(folder.path());
    NullPlatform platform(NullPlatform::Options{.font = false});
    Game game(platform);
    Console console(kConsoleWidth, kConsoleHeight);
    game.world().render(console);
    return console;
}

std::optional<GridPos> findGlyph(const util::Image& screen, int glyph, Color foreground,
                                 GridPos from, GridPos to) {
    for (int y = from.y; y <= to.y; ++y) {
        for (int x = from.x; x <= to.x; ++x) {
            const DecodedCell cell = decodeCell(screen, x, y, kConsoleHeight, gameFont());
            if (cell.ok && cell.glyph == glyph && cell.foreground == foreground) {
                return GridPos{x, y};
            }
        }
    }
    return std::nullopt;
}

GameProcess::GameProcess(const Xvfb& xvfb, const GameFolder& folder, RunOptions options,
                         const std::string& executable)
    : xvfb_(xvfb) {
    int out[2];
    int err[2];
    if (pipe2(out, O_CLOEXEC) != 0 || pipe2(err, O_CLOEXEC) != 0) {
        throw std::runtime_error("pipe failed");
    }
    std::vector<std::string> environment = {"DISPLAY=" + xvfb.display(), "SDL_AUDIODRIVER=dummy"};
    environment.insert(environment.end(), options.environment.begin(), options.environment.end());
    const std::string program = executable.empty() ? gameExecutable().string() : executable;
    std::vector<std::string> argv = {program};
    argv.insert(argv.end(), options.arguments.begin(), options.arguments.end());
    pid_ = spawn(argv, folder.path(), environment, out[1], err[1]);
    close(out[1]);
    close(err[1]);
    stdoutFd_ = out[0];
    stderrFd_ = err[0];
}

GameProcess::~GameProcess() {
    if (!status_) {
        stop(pid_);
    }
    if (stdoutFd_ >= 0) {
        close(stdoutFd_);
    }
    if (stderrFd_ >= 0) {
        close(stderrFd_);
    }
}

void GameProcess::pump(std::chrono::milliseconds timeout) {
    pollfd fds[2] = {{stdoutFd_, POLLIN, 0}, {stderrFd_, POLLIN, 0}};
    if (poll(fds, 2, static_cast<int>(timeout.count())) <= 0) {
        return;
    }
    char buffer[4096];
    for (int i = 0; i < 2; ++i) {
        if ((fds[i].revents & (POLLIN | POLLHUP)) == 0 || fds[i].fd < 0) {
            continue;
        }
        const ssize_t n = read(fds[i].fd, buffer, sizeof buffer);
        if (n <= 0) {
            close(fds[i].fd);
            (i == 0 ? stdoutFd_ : stderrFd_) = -1;
            continue;
        }
        if (i == 1) {
            stderrText_.append(buffer, static_cast<std::size_t>(n));
            continue;
        }
        stdoutPartial_.append(buffer, static_cast<std::size_t>(n));
        for (auto end = stdoutPartial_.find('\n'); end != std::string::npos;
             end = stdoutPartial_.find('\n')) {
            stdoutLines_.push_back(stdoutPartial_.substr(0, end));
            stdoutPartial_.erase(0, end + 1);
        }
    }
}

std::optional<std::string> GameProcess::waitForLine(const std::string& prefix,
                                                    std::chrono::milliseconds timeout) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (true) {
        for (; linesSeen_ < stdoutLines_.size(); ++linesSeen_) {
            if (stdoutLines_[linesSeen_].rfind(prefix, 0) == 0) {
                return stdoutLines_[linesSeen_++];
            }
        }
        if (std::chrono::steady_clock::now() >= deadline || (stdoutFd_ < 0 && stderrFd_ < 0)) {
            return std::nullopt;
        }
        pump(50ms);
    }
}

void GameProcess::sendKeys(const std::vector<std::string>& keys) const {
    for (const auto& key : keys) {
        tapKey(key);
    }
}

void GameProcess::tapKey(const std::string& key) const {
    runOnDisplay(xvfb_,
                 "xdotool mousemove 512 384 keydown --delay 0 " + key + " keyup --delay 0 " + key);
}

void GameProcess::pressKeys(const std::vector<std::string>& keys) const {
    // No delay between the presses, so the game sees keys meant together in one frame.
    std::string command = "xdotool mousemove 512 384 keydown --delay 0";
    for (const auto& key : keys) {
        command += " " + key;
    }
    runOnDisplay(xvfb_, command);
}

void GameProcess::releaseKeys(const std::vector<std::string>& keys) const {
    std::string command = "xdotool keyup --delay 0";
    for (const auto& key : keys) {
        command += " " + key;
    }
    runOnDisplay(xvfb_, command);
}

util::Image GameProcess::screenshot() const {
    const fs::path file = fs::temp_directory_path() / ("cindra-shot-" + std::to_string(getpid()) +
                                                       "-" + std::to_string(pid_) + ".png");
    runOnDisplay(xvfb_, "import -window root png24:" + file.string());
    util::Image image = util::readPng(file.string());
    fs::remove(file);
    return image;
}

util::Image GameProcess::screenshotWhen(const std::function<bool(const util::Image&)>& done,
                                        std::chrono::milliseconds timeout) const {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    util::Image screen = screenshot();
    while (!done(screen) && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(100ms);
        screen = screenshot();
    }
    return screen;
}

int GameProcess::wait(std::chrono::milliseconds timeout) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (!status_) {
        int raw = 0;
        if (waitpid(pid_, &raw, WNOHANG) == pid_) {
            status_ = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
            break;
        }
        if (std::chrono::steady_clock::now() >= deadline) {
            stop(pid_);
            status_ = -1;
            break;
        }
        pump(20ms);
    }
    while (stdoutFd_ >= 0 || stderrFd_ >= 0) {
        pump(100ms);
    }
    return *status_;
}

} // namespace cindra::e2e
