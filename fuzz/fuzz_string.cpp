// Text loading: byte-order marks, UTF-16 in both byte orders, UTF-8 and its
// fallback to raw bytes, then the text written back as UTF-8.
#include "fuzz/fuzz_support.h"
#include "runtime/string.h"

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, size_t size) {
    FILE* f = OpenBytes(data, size);
    if (!f) return 0;
    String s = String::Load(f);
    fclose(f);
    volatile size_t n = s.ToUtf8().size();
    (void)n;
    return 0;
}
