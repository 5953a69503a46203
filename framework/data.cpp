// Asset names without a scheme or an explicit relative/absolute start are
// taken from the data folder.
#include "framework/data.h"

String bb_data_FixDataPath(String path) {
    int i = path.Find(String(":/"));
    if (i != -1 && path.Find(String("/")) == i + 1) return path;
    if (path.StartsWith(String("./")) || path.StartsWith(String("/"))) return path;
    return String("zorbel://data/") + path;
}
