// The platform-neutral host: the delegate interface the host drives and
// BBGame, which gates every lifecycle and input event, turns escaping
// exceptions into Die and runs one collector step after each callback.
#pragma once
#include <cstdio>

#include "host/state_file.h"
#include "runtime/runtime.h"

class BBGameDelegate : public Object {
public:
    virtual void StartGame() {}
    virtual void SuspendGame() {}
    virtual void ResumeGame() {}
    virtual void UpdateGame() {}
    virtual void RenderGame() {}
    virtual void KeyEvent(int event, int data) {}
    virtual void MouseEvent(int event, int data, float x, float y) {}
    virtual void TouchEvent(int event, int data, float x, float y) {}
    virtual void MotionEvent(int event, int data, float x, float y, float z) {}
    virtual void DiscardGraphics() {}
};

// Host event codes passed to the delegate.
namespace BBGameEvent {
enum {
    KeyDown = 1,
    KeyUp = 2,
    KeyChar = 3,
    MouseDown = 4,
    MouseUp = 5,
    MouseMove = 6,
    TouchDown = 7,
    TouchUp = 8,
    TouchMove = 9,
    MotionAccel = 10
};
}

class BBGame {
public:
    BBGame();
    virtual ~BBGame() {}

    static BBGame* Game() { return _game; }

    virtual void SetDelegate(BBGameDelegate* delegate);
    virtual BBGameDelegate* Delegate() { return _delegate; }
    virtual void SetKeyboardEnabled(bool enabled) { _keyboardEnabled = enabled; }
    virtual bool KeyboardEnabled() { return _keyboardEnabled; }
    virtual void SetUpdateRate(int hz) { _updateRate = hz; }
    virtual int UpdateRate() { return _updateRate; }
    virtual bool Started() { return _started; }
    virtual bool Suspended() { return _suspended; }
    virtual int Millisecs() { return 0; }
    virtual void GetDate(Array<int> date);
    virtual int SaveState(String state);
    virtual String LoadState();
    // The text LoadState gave did not load whole (why says how): the file
    // is kept aside before the first save replaces it.
    void StateDamaged(String why) { _stateFile.MarkDamaged(why.ToUtf8()); }
    virtual String LoadString(String path);
    virtual bool PollJoystick(int port, Array<float> joyx, Array<float> joyy, Array<float> joyz, Array<bool> buttons) {
        return false;
    }
    virtual void OpenUrl(String url) {}
    virtual void SetMouseVisible(bool visible) {}
    virtual String PathToFilePath(String path) { return path; }
    virtual FILE* OpenFile(String path, String mode);
    virtual unsigned char* LoadData(String path, int* plength);
    virtual void Die(ThrowableObject* ex);
    virtual void gc_collect();

    virtual void StartGame();
    virtual void SuspendGame();
    virtual void ResumeGame();
    virtual void UpdateGame();
    virtual void RenderGame();
    virtual void KeyEvent(int event, int data);
    virtual void MouseEvent(int event, int data, float x, float y);
    virtual void TouchEvent(int event, int data, float x, float y);
    virtual void MotionEvent(int event, int data, float x, float y, float z);
    virtual void DiscardGraphics();

    static BBGame* _game;

protected:
    BBGameDelegate* _delegate;
    bool _keyboardEnabled;
    int _updateRate;
    bool _started;
    bool _suspended;
    BBStateFile _stateFile;
};
