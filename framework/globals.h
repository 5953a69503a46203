// The framework's own module globals (app, graphics, audio, input,
// asynchronous events, random numbers): their start-up values and the
// collector's roots among them. The program's start-up runs both.
#pragma once

// Gives every framework module global its start-up value, in start-up order.
void bbInitFramework();
// Marks the framework module globals that hold collected objects.
void bbMarkFrameworkRoots();
