// Runs a program in a private temporary directory with given standard input,
// capturing standard output, standard error and the exit status.
#pragma once
#include <string>
#include <vector>

struct RunResult {
    std::string out;
    std::string err;
    int status = -1;       // exit status when the program exited normally
    int signal = 0;        // terminating signal, 0 when it exited
    bool timedOut = false;
};

// A fresh temporary directory holding a copy of the engine binary (as
// "rotor") and of data/book.dat; removed with everything in it on destruction.
class EngineDir {
public:
    EngineDir(bool withBook = true);
    ~EngineDir();
    EngineDir(const EngineDir&) = delete;
    EngineDir& operator=(const EngineDir&) = delete;

    const std::string& path() const { return dir_; }
    std::string file(const std::string& name) const { return dir_ + "/" + name; }
    void write(const std::string& name, const std::string& content) const;
    std::string read(const std::string& name) const;
    bool exists(const std::string& name) const;

    // Runs the engine as <dir>/rotor (argv[0] as given, default the full path).
    RunResult run(const std::string& input, int timeoutSeconds = 60, const std::string& argv0 = "") const;

private:
    std::string dir_;
};

// Runs any program; argv[0] is the program path unless given.
RunResult runProgram(const std::string& program, const std::vector<std::string>& args, const std::string& input,
                     const std::string& workDir, int timeoutSeconds = 60);

std::string readFile(const std::string& path);

// The lines of a text, without their newlines.
std::vector<std::string> splitLines(const std::string& text);

// An engine process driven line by line through pipes, for tests that must
// interleave input, output and signals.
class EngineProcess {
public:
    EngineProcess(const EngineDir& dir);
    ~EngineProcess();
    EngineProcess(const EngineProcess&) = delete;
    EngineProcess& operator=(const EngineProcess&) = delete;

    void send(const std::string& text);
    // Next line of standard output (without its newline); empty and false on
    // end of output or when nothing arrives within the timeout.
    bool readLine(std::string& line, int timeoutSeconds = 30);
    void signal(int sig);
    void closeInput();
    // Waits for the process to end; returns the result as RunResult (status,
    // signal; out holds the standard output not yet read by readLine).
    RunResult wait(int timeoutSeconds = 30);

private:
    int pid_ = -1;
    int in_ = -1;
    int out_ = -1;
    std::string pending_;
};
