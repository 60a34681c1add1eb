#include "support/process.h"

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <sys/select.h>
#include <sys/wait.h>
#include <unistd.h>

#ifndef ROTOR_BINARY
#define ROTOR_BINARY ""
#endif
#ifndef ROTOR_DATA_DIR
#define ROTOR_DATA_DIR ""
#endif

namespace fs = std::filesystem;

std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

EngineDir::EngineDir(bool withBook) {
    char pattern[] = "/tmp/rotor-test-XXXXXX";
    char* made = mkdtemp(pattern);
    if (!made) std::abort();
    dir_ = made;
    fs::copy_file(ROTOR_BINARY, dir_ + "/rotor");
    if (withBook) fs::copy_file(std::string(ROTOR_DATA_DIR) + "/book.dat", dir_ + "/book.dat");
}

EngineDir::~EngineDir() {
    std::error_code ec;
    fs::remove_all(dir_, ec);
}

void EngineDir::write(const std::string& name, const std::string& content) const {
    std::ofstream out(file(name), std::ios::binary | std::ios::trunc);
    out << content;
}

std::string EngineDir::read(const std::string& name) const { return readFile(file(name)); }

bool EngineDir::exists(const std::string& name) const { return fs::exists(file(name)); }

RunResult EngineDir::run(const std::string& input, int timeoutSeconds, const std::string& argv0) const {
    std::string program = file("rotor");
    std::vector<std::string> args = {argv0.empty() ? program : argv0};
    return runProgram(program, args, input, dir_, timeoutSeconds);
}

RunResult runProgram(const std::string& program, const std::vector<std::string>& args, const std::string& input,
                     const std::string& workDir, int timeoutSeconds) {
    RunResult result;
    char scratch[] = "/tmp/rotor-run-XXXXXX";
    char* scratchDir = mkdtemp(scratch);
    if (!scratchDir) std::abort();
    const std::string inPath = std::string(scratchDir) + "/in";
    const std::string outPath = std::string(scratchDir) + "/out";
    const std::string errPath = std::string(scratchDir) + "/err";
    {
        std::ofstream in(inPath, std::ios::binary);
        in << input;
    }
    pid_t pid = fork();
    if (pid == 0) {
        int in = open(inPath.c_str(), O_RDONLY);
        int out = open(outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        int err = open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        dup2(in, 0);
        dup2(out, 1);
        dup2(err, 2);
        if (chdir(workDir.c_str()) != 0) _exit(126);
        std::vector<char*> argv;
        for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
        argv.push_back(nullptr);
        execv(program.c_str(), argv.data());
        _exit(127);
    }
    int status = 0;
    int waited = 0;
    const int stepMs = 20;
    while (true) {
        pid_t done = waitpid(pid, &status, WNOHANG);
        if (done == pid) break;
        if (waited >= timeoutSeconds * 1000) {
            kill(pid, SIGKILL);
            waitpid(pid, &status, 0);
            result.timedOut = true;
            break;
        }
        usleep(stepMs * 1000);
        waited += stepMs;
    }
    if (WIFEXITED(status)) result.status = WEXITSTATUS(status);
    if (WIFSIGNALED(status)) result.signal = WTERMSIG(status);
    result.out = readFile(outPath);
    result.err = readFile(errPath);
    std::error_code ec;
    fs::remove_all(scratchDir, ec);
    return result;
}

EngineProcess::EngineProcess(const EngineDir& dir) {
    int toChild[2], fromChild[2];
    if (pipe(toChild) != 0 || pipe(fromChild) != 0) std::abort();
    const std::string program = dir.file("rotor");
    pid_ = fork();
    if (pid_ == 0) {
        dup2(toChild[0], 0);
        dup2(fromChild[1], 1);
        int devNull = open("/dev/null", O_WRONLY);
        dup2(devNull, 2);
        close(toChild[1]);
        close(fromChild[0]);
        if (chdir(dir.path().c_str()) != 0) _exit(126);
        execl(program.c_str(), program.c_str(), static_cast<char*>(nullptr));
        _exit(127);
    }
    close(toChild[0]);
    close(fromChild[1]);
    in_ = toChild[1];
    out_ = fromChild[0];
}

EngineProcess::~EngineProcess() {
    if (in_ >= 0) close(in_);
    if (out_ >= 0) close(out_);
    if (pid_ > 0) {
        kill(pid_, SIGKILL);
        waitpid(pid_, nullptr, 0);
    }
}

void EngineProcess::send(const std::string& text) {
    const char* p = text.data();
    size_t left = text.size();
    while (left > 0) {
        ssize_t n = ::write(in_, p, left);
        if (n <= 0) return;
        p += n;
        left -= size_t(n);
    }
}

bool EngineProcess::readLine(std::string& line, int timeoutSeconds) {
    line.clear();
    int waitedMs = 0;
    while (true) {
        size_t nl = pending_.find('\n');
        if (nl != std::string::npos) {
            line = pending_.substr(0, nl);
            pending_.erase(0, nl + 1);
            return true;
        }
        fd_set set;
        FD_ZERO(&set);
        FD_SET(out_, &set);
        timeval tv{0, 50000};
        int ready = select(out_ + 1, &set, nullptr, nullptr, &tv);
        if (ready > 0) {
            char buffer[4096];
            ssize_t n = ::read(out_, buffer, sizeof(buffer));
            if (n <= 0) return false;
            pending_.append(buffer, size_t(n));
        } else {
            waitedMs += 50;
            if (waitedMs >= timeoutSeconds * 1000) return false;
        }
    }
}

void EngineProcess::signal(int sig) { kill(pid_, sig); }

void EngineProcess::closeInput() {
    if (in_ >= 0) close(in_);
    in_ = -1;
}

RunResult EngineProcess::wait(int timeoutSeconds) {
    RunResult result;
    int status = 0;
    int waitedMs = 0;
    while (true) {
        pid_t done = waitpid(pid_, &status, WNOHANG);
        if (done == pid_) break;
        if (waitedMs >= timeoutSeconds * 1000) {
            kill(pid_, SIGKILL);
            waitpid(pid_, &status, 0);
            result.timedOut = true;
            break;
        }
        usleep(20000);
        waitedMs += 20;
    }
    pid_ = -1;
    char buffer[4096];
    ssize_t n;
    while ((n = ::read(out_, buffer, sizeof(buffer))) > 0) pending_.append(buffer, size_t(n));
    result.out = pending_;
    if (WIFEXITED(status)) result.status = WEXITSTATUS(status);
    if (WIFSIGNALED(status)) result.signal = WTERMSIG(status);
    return result;
}

std::vector<std::string> splitLines(const std::string& text) {
    std::vector<std::string> out;
    std::istringstream in(text);
    std::string line;
    while (std::getline(in, line)) out.push_back(line);
    return out;
}
