// Fatal paths run in child processes: banners on standard output, the
// debugger marker on standard error, exit codes and the debugger commands.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <functional>
#include <string>

#include "runtime/runtime.h"
#include "host/game.h"

namespace {

struct Outcome {
    int code = -999;
    std::string out, err;
};

std::string ReadAll(int fd) {
    std::string s;
    char buf[4096];
    ssize_t n;
    while ((n = read(fd, buf, sizeof buf)) > 0) s.append(buf, static_cast<size_t>(n));
    return s;
}

// Runs body in a child with the given standard input; collects its output.
Outcome RunChild(const std::function<void()>& body, const std::string& input = "") {
    int in[2], out[2], err[2];
    EXPECT_EQ(pipe(in), 0);
    EXPECT_EQ(pipe(out), 0);
    EXPECT_EQ(pipe(err), 0);
    fflush(stdout);
    fflush(stderr);
    pid_t pid = fork();
    if (pid == 0) {
        dup2(in[0], 0);
        dup2(out[1], 1);
        dup2(err[1], 2);
        close(in[1]);
        close(out[0]);
        close(err[0]);
        body();
        fflush(stdout);
        _exit(77);
    }
    close(in[0]);
    close(out[1]);
    close(err[1]);
    if (!input.empty()) EXPECT_EQ(write(in[1], input.data(), input.size()), static_cast<ssize_t>(input.size()));
    close(in[1]);
    Outcome o;
    o.out = ReadAll(out[0]);
    o.err = ReadAll(err[0]);
    close(out[0]);
    close(err[0]);
    int status = 0;
    waitpid(pid, &status, 0);
    if (WIFEXITED(status)) o.code = WEXITSTATUS(status);
    return o;
}

}  // namespace

TEST(Fatal, EmptyErrorQuitsQuietlyWithZero) {
    Outcome o = RunChild([] { bbError(String()); });
    EXPECT_EQ(o.code, 0);
    EXPECT_EQ(o.out, "");
    EXPECT_EQ(o.err, "");
}

TEST(Fatal, ErrorWithoutDebuggerPrintsBannerAndExitsMinusOne) {
    Outcome o = RunChild([] { bbError(String("x")); });
    EXPECT_EQ(o.code, 255);
    EXPECT_EQ(o.out, "Zorbel Runtime Error : x\n\n");
    EXPECT_EQ(o.err, "{{~~(null)~~}}\n\n");
}

TEST(Fatal, DebuggerCommands) {
    // 'q' ends with 0 at once.
    EXPECT_EQ(RunChild([] { bbError(String("boom")); }, "q\n").code, 0);
    // '?' is ignored; 'r' runs on, which shows the banner again; then end of input.
    Outcome again = RunChild([] { bbError(String("boom")); }, "?\nr\n");
    EXPECT_EQ(again.code, 255);
    EXPECT_EQ(again.out, "Zorbel Runtime Error : boom\n\nZorbel Runtime Error : boom\n\n");
    // A line without its line feed counts as the end of input.
    EXPECT_EQ(RunChild([] { bbError(String("boom")); }, "q").code, 255);
    // Anything else is echoed and ends with -1.
    Outcome bad = RunChild([] { bbError(String("boom")); }, "zap\n");
    EXPECT_EQ(bad.code, 255);
    EXPECT_NE(bad.out.find("????? zap ?????"), std::string::npos);
}

TEST(Fatal, DebuggerInspectsOnlyLiveObjects) {
    // An address that is no collected object is never dereferenced.
    Outcome junk = RunChild([] { bbError(String("e")); }, "@deadbeef\n@0\nq\n");
    EXPECT_EQ(junk.code, 0);
    EXPECT_EQ(junk.err, "{{~~(null)~~}}\n\n\n\n");
    // A live object answers with its debug text.
    Outcome live = RunChild(
        [] {
            gc_init1();
            Object* obj = new Object;
            char line[64];
            snprintf(line, sizeof line, "@%p\n", static_cast<void*>(static_cast<gc_object*>(obj)));
            // Feed the command through a pipe of our own.
            int p[2];
            if (pipe(p) != 0) _exit(3);
            std::string cmds = std::string(line) + "q\n";
            if (write(p[1], cmds.data(), cmds.size()) < 0) _exit(3);
            close(p[1]);
            dup2(p[0], 0);
            bbError(String("e"));
        },
        "");
    EXPECT_EQ(live.code, 0);
    EXPECT_NE(live.err.find("+Object\n"), std::string::npos);
}

TEST(Fatal, UncaughtExceptionDies) {
    Outcome o = RunChild([] {
        BBGame game;
        game.Die(new ThrowableObject);
    });
    EXPECT_EQ(o.code, 255);
    EXPECT_EQ(o.out, "Zorbel Runtime Error : Uncaught Zorbel Exception\n");
}

TEST(Fatal, SignalsEndInTheDebugger) {
    Outcome o = RunChild([] {
        signal(SIGSEGV, sighandler);
        raise(SIGSEGV);
    });
    EXPECT_EQ(o.code, 255);
    EXPECT_EQ(o.out, "Zorbel Runtime Error : Memory access violation\n\n");
    Outcome fpe = RunChild([] {
        signal(SIGFPE, sighandler);
        raise(SIGFPE);
    });
    EXPECT_EQ(fpe.out, "Zorbel Runtime Error : Floating point exception\n\n");
}

TEST(Print, Utf8AndStopAtZero) {
    Outcome o = RunChild([] {
        Char units[] = {'a', 0xE9, 0, 'z'};
        bbPrint(String(units, 4));
        dbg_print(String(units, 2));
        exit(0);
    });
    EXPECT_EQ(o.out, "a\xC3\xA9\n");
    EXPECT_EQ(o.err, std::string("a\xE9\n"));
}

TEST(DebugValues, TypesAndQuotedText) {
    bool b = true;
    int i = -3;
    float f = 2;
    String s("say \"hi\"\n");
    EXPECT_EQ(dbg_type(&b).ToUtf8(), "Bool");
    EXPECT_EQ(dbg_value(&b).ToUtf8(), "True");
    EXPECT_EQ(dbg_value(&i).ToUtf8(), "-3");
    EXPECT_EQ(dbg_value(&f).ToUtf8(), "2.0");
    EXPECT_EQ(dbg_value(&s).ToUtf8(), "\"say ~qhi~q~n\"");
    std::string longText(150, 'x');
    String l(longText.c_str());
    EXPECT_EQ(dbg_value(&l).Length(), 100 + 2 + 3);
}
