// The Object base class.
#include "runtime/object.h"

String Object::debug() { return String("+Object\n"); }
