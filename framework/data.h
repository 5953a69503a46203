// Normalisation of asset names to the framework's data-path scheme.
#pragma once
#include "runtime/string.h"

String bb_data_FixDataPath(String path);
