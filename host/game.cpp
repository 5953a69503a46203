// BBGame: event gates, exception and collection wrapping of every delegate
// call, dates, files and the state store that keeps the game's one text.
#include "host/game.h"

#include <cstdlib>
#include <cstring>
#include <ctime>
#include <string>

BBGame* BBGame::_game = nullptr;

BBGame::BBGame() : _delegate(nullptr), _keyboardEnabled(false), _updateRate(0), _started(false), _suspended(false) {
    _game = this;
}

void BBGame::SetDelegate(BBGameDelegate* delegate) { _delegate = delegate; }

void BBGame::GetDate(Array<int> date) {
    int n = date.Length();
    if (n <= 0) return;
    time_t t = time(nullptr);
    struct tm* st = localtime(&t);
    int values[6] = {st->tm_year + 1900, st->tm_mon + 1, st->tm_mday, st->tm_hour, st->tm_min, st->tm_sec};
    for (int i = 0; i < n && i < 6; ++i) date[i] = values[i];
    if (n > 6) date[6] = 0;
}

FILE* BBGame::OpenFile(String path, String mode) {
    path = PathToFilePath(path);
    if (path.Length() == 0) return nullptr;
    // The 16-bit path becomes the platform's UTF-8 file name.
    std::string name = path.ToUtf8();
    std::string m = mode.ToUtf8();
    return fopen(name.c_str(), m.c_str());
}

unsigned char* BBGame::LoadData(String path, int* plength) {
    FILE* f = OpenFile(path, String("rb"));
    if (!f) return nullptr;
    unsigned char* data = nullptr;
    size_t size = 0, cap = 0;
    unsigned char chunk[4096];
    for (;;) {
        size_t n = fread(chunk, 1, sizeof chunk, f);
        if (n == 0) break;
        if (size + n > cap) {
            cap = (size + n) * 2;
            data = static_cast<unsigned char*>(realloc(data, cap));
        }
        memcpy(data + size, chunk, n);
        size += n;
    }
    fclose(f);
    if (plength) *plength = static_cast<int>(size);
    if (!data) data = static_cast<unsigned char*>(malloc(1));
    return data;
}

String BBGame::LoadString(String path) {
    FILE* f = OpenFile(path, String("rb"));
    if (!f) return String();
    String s = String::Load(f);
    fclose(f);
    return s;
}

int BBGame::SaveState(String state) { return _stateFile.Save(state.ToUtf8()); }

String BBGame::LoadState() { return _stateFile.Load(); }

void BBGame::Die(ThrowableObject* ex) {
    bbPrint(String("Zorbel Runtime Error : Uncaught Zorbel Exception"));
    exit(-1);
}

void BBGame::gc_collect() {
    gc_mark(_delegate);
    ::gc_collect();
}

// Every call into the delegate: exceptions end in Die, then one step of
// the collector runs while no game code is on the stack.
#define BB_DELEGATE_CALL(call)           \
    do {                                 \
        try {                            \
            call;                        \
        } catch (ThrowableObject * ex) { \
            Die(ex);                     \
        }                                \
        gc_collect();                    \
    } while (0)

void BBGame::StartGame() {
    if (_started) return;
    _started = true;
    BB_DELEGATE_CALL(_delegate->StartGame());
}

void BBGame::SuspendGame() {
    if (!_started || _suspended) return;
    _suspended = true;
    BB_DELEGATE_CALL(_delegate->SuspendGame());
}

void BBGame::ResumeGame() {
    if (!_started || !_suspended) return;
    _suspended = false;
    BB_DELEGATE_CALL(_delegate->ResumeGame());
}

void BBGame::UpdateGame() {
    if (!_started || _suspended) return;
    BB_DELEGATE_CALL(_delegate->UpdateGame());
}

void BBGame::RenderGame() {
    if (!_started) return;
    BB_DELEGATE_CALL(_delegate->RenderGame());
}

void BBGame::KeyEvent(int event, int data) {
    if (!_started) return;
    BB_DELEGATE_CALL(_delegate->KeyEvent(event, data));
}

void BBGame::MouseEvent(int event, int data, float x, float y) {
    if (!_started) return;
    BB_DELEGATE_CALL(_delegate->MouseEvent(event, data, x, y));
}

void BBGame::TouchEvent(int event, int data, float x, float y) {
    if (!_started) return;
    BB_DELEGATE_CALL(_delegate->TouchEvent(event, data, x, y));
}

void BBGame::MotionEvent(int event, int data, float x, float y, float z) {
    if (!_started) return;
    BB_DELEGATE_CALL(_delegate->MotionEvent(event, data, x, y, z));
}

void BBGame::DiscardGraphics() {
    if (!_started) return;
    BB_DELEGATE_CALL(_delegate->DiscardGraphics());
}
