// Whole-process start of CGI programs against a baseline program, as a web server starts them:
// fork, execve with a small CGI environment, standard input and output on /dev/null, reap.
// The programs run alternated, so that all of them see the same machine; the medians of wall
// time (fork to reap), CPU time and minor page faults are printed with each program's ratio to
// the first one.
//
// Usage: start_bench RUNS DIR REQUEST BASELINE PROGRAM...
//   DIR is the working directory of every run (web servers start CGI programs in their folder);
//   REQUEST is the QUERY_STRING of a GET request, or "@FILE" for a POST of FILE's bytes
//   (form-encoded) on standard input. Each program is a path, or "PATH ARG..." as one argument.
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <string>
#include <vector>

namespace {

struct Sample {
    double wallUs = 0;
    double cpuUs = 0;
    long minorFaults = 0;
};

double Microseconds(const timeval& t) { return t.tv_sec * 1e6 + t.tv_usec; }

double NowUs() {
    timespec t{};
    clock_gettime(CLOCK_MONOTONIC, &t);
    return t.tv_sec * 1e6 + t.tv_nsec / 1e3;
}

Sample RunOnce(const std::string& program, const std::string& dir, char* const* env,
               const std::string& bodyFile) {
    Sample sample;
    const double start = NowUs();
    const pid_t pid = fork();
    if (pid == 0) {
        const int null = open("/dev/null", O_RDWR);
        dup2(bodyFile.empty() ? null : open(bodyFile.c_str(), O_RDONLY), STDIN_FILENO);
        dup2(null, STDOUT_FILENO);
        dup2(null, STDERR_FILENO);
        if (chdir(dir.c_str()) != 0) _exit(126);
        // "PATH ARG..." in one string: split at blanks.
        std::vector<std::string> words;
        for (size_t at = 0; at != std::string::npos;) {
            const size_t end = program.find(' ', at);
            words.push_back(program.substr(at, end == std::string::npos ? end : end - at));
            at = end == std::string::npos ? end : end + 1;
        }
        std::vector<char*> args;
        for (auto& word : words) args.push_back(word.data());
        args.push_back(nullptr);
        execve(args[0], args.data(), env);
        _exit(127);
    }
    int status = 0;
    rusage usage{};
    wait4(pid, &status, 0, &usage);
    sample.wallUs = NowUs() - start;
    sample.cpuUs = Microseconds(usage.ru_utime) + Microseconds(usage.ru_stime);
    sample.minorFaults = usage.ru_minflt;
    if (!WIFEXITED(status) || WEXITSTATUS(status) >= 126)
        std::fprintf(stderr, "warning: %s ended with status %d\n", program.c_str(), status);
    return sample;
}

template <class T>
T Median(std::vector<T> values) {
    std::sort(values.begin(), values.end());
    return values[(values.size() - 1) / 2];
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 5) {
        std::fprintf(stderr, "usage: %s RUNS DIR QUERY BASELINE PROGRAM...\n", argv[0]);
        return 2;
    }
    const int runs = std::max(1, std::atoi(argv[1]));
    const std::string dir = argv[2];
    const std::string request = argv[3];
    std::vector<std::string> variables = {"REMOTE_ADDR=127.0.0.1"};
    std::string bodyFile;
    if (request.starts_with("@")) {
        bodyFile = request.substr(1);
        struct stat info {};
        if (stat(bodyFile.c_str(), &info) != 0) {
            std::perror(bodyFile.c_str());
            return 2;
        }
        variables.push_back("REQUEST_METHOD=POST");
        variables.push_back("CONTENT_TYPE=application/x-www-form-urlencoded");
        variables.push_back("CONTENT_LENGTH=" + std::to_string(info.st_size));
    } else {
        variables.push_back("REQUEST_METHOD=GET");
        variables.push_back("QUERY_STRING=" + request);
    }
    std::vector<char*> env;
    for (auto& variable : variables) env.push_back(variable.data());
    env.push_back(nullptr);
    const std::vector<std::string> programs(argv + 4, argv + argc);

    std::vector<std::vector<Sample>> samples(programs.size());
    for (int run = 0; run < runs; ++run)
        for (size_t i = 0; i < programs.size(); ++i)
            samples[i].push_back(RunOnce(programs[i], dir, env.data(), bodyFile));

    std::vector<double> wall(programs.size()), cpu(programs.size());
    std::printf("%-60s %10s %8s %10s %8s %8s\n", "program (median of runs)", "wall us", "ratio",
                "cpu us", "ratio", "faults");
    for (size_t i = 0; i < programs.size(); ++i) {
        std::vector<double> w, c;
        std::vector<long> f;
        for (const Sample& s : samples[i]) {
            w.push_back(s.wallUs);
            c.push_back(s.cpuUs);
            f.push_back(s.minorFaults);
        }
        wall[i] = Median(w);
        cpu[i] = Median(c);
        std::printf("%-60s %10.0f %8.2f %10.0f %8.2f %8ld\n", programs[i].c_str(), wall[i],
                    wall[i] / wall[0], cpu[i], cpu[0] > 0 ? cpu[i] / cpu[0] : 0.0, Median(f));
    }
    return 0;
}
