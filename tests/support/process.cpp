#include "support/process.h"

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <sstream>
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
