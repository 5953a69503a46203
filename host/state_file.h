// The one state file of the game: read within a size bound from a regular
// file only, written atomically into the per-user folder, a file that did
// not load whole kept aside before it is replaced, and every failure told
// on stderr once (again only after a save has succeeded).
#pragma once
#include <string>

#include "runtime/runtime.h"

class BBStateFile {
public:
    // A full save is under 2 KB; a larger file is not the game's.
    static constexpr long kMaxBytes = 64 * 1024;

    // The per-user file or, when that does not exist, the one an older
    // version left in the working directory; "" when there is none or it
    // cannot be used. Removes what interrupted saves left behind.
    String Load();
    // Replaces the per-user file with the bytes: 0 when done, -2 for a
    // short write, -1 for any other failure. The previous file stays whole
    // whenever the save fails.
    int Save(const std::string& bytes);
    // The text Load gave did not load whole: keep the file aside as
    // .zorbelstate.bad before the first save replaces it.
    void MarkDamaged(const std::string& why);

private:
    int Fail(const std::string& path, const std::string& why, int code);
    bool KeepDamagedAside(const std::string& path, const std::string& target, std::string* why);

    std::string m_readPath;  // the file Load read, "" for none
    std::string m_damage;    // why it did not load whole, "" when it did
    bool m_keptAside = false;
    bool m_failReported = false;
};
