// Printing, fatal errors and the line-based debugger prompt that a fatal
// error enters; also the handler for hardware faults.
#pragma once
#include "runtime/string.h"

extern const char* dbg_info;
extern String dbg_exstack;
extern int dbg_suspend;
extern int dbg_stepmode;

int bbPrint(String s);
int bbDebugLog(String s);
int dbg_print(String s);
// Empty message: normal quit (exit code 0). Otherwise a fatal error.
int bbError(String msg);
[[noreturn]] void dbg_error(const char* msg);
String dbg_stacktrace();
[[noreturn]] void dbg_throw(const char* err);
int bbDebugStop();
void dbg_stop();
void sighandler(int sig);

String dbg_type(bool*);
String dbg_type(int*);
String dbg_type(float*);
String dbg_type(String*);
String dbg_value(bool* p);
String dbg_value(int* p);
String dbg_value(float* p);
String dbg_value(String* p);
