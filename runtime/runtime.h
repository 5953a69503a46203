// The runtime in one include: strings, arrays, objects, collector, errors.
#pragma once
#include "runtime/array.h"
#include "runtime/debug.h"
#include "runtime/gc.h"
#include "runtime/object.h"
#include "runtime/string.h"
