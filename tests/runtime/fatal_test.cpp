// Fatal paths run in child processes: banners on standard output, the
// debugger marker on standard error, exit codes and the debugger commands.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <cstdio>
#include <functional>
#include <string>

#include "host/game.h"
#include "runtime/runtime.h"

namespace {

struct Outcome {
    int code = -999;
    std::string out, err;
};

std::string ReadAll(FILE* f) {
    std::string s;
    char buf[4096];
    rewind(f);
    for (size_t n; (n = fread(buf, 1, sizeof buf, f)) > 0;) s.append(buf, n);
    fclose(f);
    return s;
}

// Runs body in a child whose standard input holds input; collects its output.
Outcome RunChild(const std::function<void()>& body, const std::string& input = "") {
    FILE *in = tmpfile(), *out = tmpfile(), *err = tmpfile();
    fputs(input.c_str(), in);
    rewind(in);
    fflush(stdout);
    fflush(stderr);
    pid_t pid = fork();
    if (pid == 0) {
        dup2(fileno(in), 0);
        dup2(fileno(out), 1);
        dup2(fileno(err), 2);
        body();
        fflush(stdout);
        _exit(77);
    }
    int status = 0;
    waitpid(pid, &status, 0);
    fclose(in);
    Outcome o;
    if (WIFEXITED(status)) o.code = WEXITSTATUS(status);
    o.out = ReadAll(out);
    o.err = ReadAll(err);
    return o;
}

void Boom() { bbError(String("boom")); }

}  // namespace

TEST(Fatal, AnEmptyErrorQuitsQuietlyAndAMessageEntersTheDebugger) {
    Outcome quit = RunChild([] { bbError(String()); });
    EXPECT_EQ(quit.code, 0);
    EXPECT_EQ(quit.out + quit.err, "");

    // With no debugger on standard input: banner, empty trace, marker, -1.
    Outcome o = RunChild([] { bbError(String("x")); });
    EXPECT_EQ(o.code, 255);
    EXPECT_EQ(o.out, "Zorbel Runtime Error : x\n\n");
    EXPECT_EQ(o.err, "{{~~(null)~~}}\n\n");
}

TEST(Fatal, DebuggerCommands) {
    EXPECT_EQ(RunChild(Boom, "q\n").code, 0);
    // '?' is ignored; 'r' runs on, which shows the banner again; then end of input.
    Outcome again = RunChild(Boom, "?\nr\n");
    EXPECT_EQ(again.code, 255);
    EXPECT_EQ(again.out, "Zorbel Runtime Error : boom\n\nZorbel Runtime Error : boom\n\n");
    // A line without its line feed counts as the end of input.
    EXPECT_EQ(RunChild(Boom, "q").code, 255);
    Outcome bad = RunChild(Boom, "zap\n");
    EXPECT_EQ(bad.code, 255);
    EXPECT_NE(bad.out.find("????? zap ?????"), std::string::npos);

    // An address that is no collected object is never dereferenced; a live
    // object answers with its debug text.
    Outcome junk = RunChild(Boom, "@deadbeef\n@0\nq\n");
    EXPECT_EQ(junk.code, 0);
    EXPECT_EQ(junk.err, "{{~~(null)~~}}\n\n\n\n");
    gc_init1();
    Object* obj = new Object;
    char line[64];
    snprintf(line, sizeof line, "@%p\nq\n", static_cast<void*>(static_cast<gc_object*>(obj)));
    Outcome live = RunChild(Boom, line);
    EXPECT_EQ(live.code, 0);
    EXPECT_EQ(live.err, "{{~~(null)~~}}\n\n+Object\n\n");
}

TEST(Fatal, UncaughtExceptionsAndSignalsEndWithMinusOne) {
    Outcome died = RunChild([] {
        BBGame game;
        game.Die(new ThrowableObject);
    });
    EXPECT_EQ(died.code, 255);
    EXPECT_EQ(died.out, "Zorbel Runtime Error : Uncaught Zorbel Exception\n");
    const std::pair<int, const char*> signals[] = {{SIGSEGV, "Memory access violation"},
                                                   {SIGFPE, "Floating point exception"}};
    for (auto& [number, text] : signals) {
        int sig = number;
        Outcome o = RunChild([sig] {
            signal(sig, sighandler);
            raise(sig);
        });
        EXPECT_EQ(o.code, 255);
        EXPECT_EQ(o.out, std::string("Zorbel Runtime Error : ") + text + "\n\n");
    }
}

TEST(Print, Utf8ToStdoutNarrowToStderrAndQuotedDebuggerTexts) {
    Outcome o = RunChild([] {
        Char units[] = {'a', 0xE9, 0, 'z'};
        bbPrint(String(units, 4));
        dbg_print(String(units, 2));
        exit(0);
    });
    EXPECT_EQ(o.out, "a\xC3\xA9\n") << "output stops at U+0000";
    EXPECT_EQ(o.err, "a\xE9\n");

    String s("say \"hi\"\n");
    String longText(std::string(150, 'x').c_str());
    EXPECT_EQ(dbg_value(&s).ToUtf8(), "\"say ~qhi~q~n\"");
    EXPECT_EQ(dbg_value(&longText).ToUtf8(), "\"" + std::string(100, 'x') + "...\"");
}
