// Standard-output printing, fatal errors, the debugger protocol on
// standard input and the crash signal handler.
#include "runtime/debug.h"

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "runtime/gc.h"
#include "runtime/object.h"

const char* dbg_info = nullptr;
String dbg_exstack;
int dbg_suspend = 0;
int dbg_stepmode = 0;

int bbPrint(String s) {
    std::string text = s.ToUtf8();
    size_t zero = text.find('\0');
    if (zero != std::string::npos) text.resize(zero);
    text += '\n';
    fputs(text.c_str(), stdout);
    fflush(stdout);
    return 0;
}

int bbDebugLog(String s) { return bbPrint(s); }

int dbg_print(String s) {
    std::string text;
    for (int i = 0; i < s.Length(); ++i) text += static_cast<char>(s[i] & 0xFF);
    text += '\n';
    fwrite(text.data(), 1, text.size(), stderr);
    fflush(stderr);
    return 0;
}

int bbError(String msg) {
    if (msg.Length() == 0) exit(0);
    String::CString<char> narrow = msg.ToCString<char>();
    dbg_error(narrow);
}

String dbg_stacktrace() {
    if (!dbg_info || !*dbg_info) return String();
    return String(dbg_info) + String("\n");
}

void dbg_throw(const char* err) {
    dbg_exstack = dbg_stacktrace();
    throw err;
}

void dbg_error(const char* msg) {
    for (;;) {
        String text;
        for (const char* p = msg; *p; ++p) {
            Char c = static_cast<unsigned char>(*p);
            text = text + String(&c, 1);
        }
        bbPrint(String("Zorbel Runtime Error : ") + text);
        bbPrint(dbg_stacktrace());
        dbg_stop();
    }
}

int bbDebugStop() {
    dbg_stop();
    return 0;
}

void dbg_stop() {
    fprintf(stderr, "{{~~%s~~}}\n", dbg_info ? dbg_info : "(null)");
    fflush(stderr);
    dbg_print(String());
    for (;;) {
        char buf[256];
        if (!fgets(buf, sizeof buf, stdin)) exit(-1);
        size_t n = strlen(buf);
        if (n == 0 || buf[n - 1] != '\n') exit(-1);
        buf[n - 1] = 0;
        switch (buf[0]) {
            case '?': continue;
            case '@': {
                // Only addresses of live collected objects are answered;
                // anything else is never dereferenced.
                void* p = nullptr;
                if (sscanf(buf + 1, "%p", &p) == 1 && p && gc_is_live_object(p)) {
                    Object* obj = dynamic_cast<Object*>(static_cast<gc_object*>(p));
                    dbg_print(obj ? obj->debug() : String());
                } else {
                    dbg_print(String());
                }
                continue;
            }
            case 'r':
                dbg_suspend = 0;
                dbg_stepmode = 0;
                return;
            case 's':
                dbg_suspend = 1;
                dbg_stepmode = 's';
                return;
            case 'e':
                dbg_suspend = 1;
                dbg_stepmode = 'e';
                return;
            case 'l':
                dbg_suspend = 0;
                dbg_stepmode = 'l';
                return;
            case 'q': exit(0);
            default:
                printf("????? %s ?????", buf);
                fflush(stdout);
                exit(-1);
        }
    }
}

void sighandler(int sig) {
    const char* err = "Unknown signal";
    switch (sig) {
        case SIGFPE: err = "Floating point exception"; break;
        case SIGSEGV: err = "Memory access violation"; break;
        case SIGILL: err = "Illegal instruction"; break;
    }
    dbg_error(err);
}

String dbg_type(bool*) { return String("Bool"); }
String dbg_type(int*) { return String("Int"); }
String dbg_type(float*) { return String("Float"); }
String dbg_type(String*) { return String("String"); }
String dbg_value(bool* p) { return String(*p ? "True" : "False"); }
String dbg_value(int* p) { return String(*p); }
String dbg_value(float* p) { return String(*p); }
String dbg_value(String* p) {
    String t = *p;
    bool cut = t.Length() > 100;
    if (cut) t = t.Slice(0, 100);
    t = t.Replace(String("\""), String("~q"));
    t = t.Replace(String("\t"), String("~t"));
    t = t.Replace(String("\n"), String("~n"));
    t = t.Replace(String("\r"), String("~r"));
    if (cut) t = t + String("...");
    return String("\"") + t + String("\"");
}
