// Windows as the program knows them: each has one shared instance that is
// loaded on first use and gone again after its unload, a list of loaded
// windows in load order, and the unload protocol (QueryUnload, then Unload,
// either of which may cancel) with the reason for the unload.
#pragma once

#include <QList>
#include <QString>

class QAction;
class QCloseEvent;
class QRect;
class QSize;
class QWidget;

namespace vt {

// Why a window unloads.
enum UnloadMode : int {
    vbFormControlMenu = 0, // the user closed it (close button, Alt+F4)
    vbFormCode = 1,        // the program unloaded it
    vbAppWindows = 2,      // the session is ending (logout, shutdown, SIGTERM)
    vbAppTaskManager = 3,
    vbFormMDIForm = 4,     // its main window is closing
    vbFormOwner = 5,
};

class Form {
public:
    virtual ~Form();
    QString Tag;

    virtual QWidget *widget() = 0;
    // Set cancel non-zero to keep the window.
    virtual void Form_QueryUnload(int &cancel, int unloadMode) { (void)cancel; (void)unloadMode; }
    virtual void Form_Unload(int &cancel) { (void)cancel; }

    // Runs the unload protocol; true when the window is gone.
    bool unload(int mode = vbFormCode);
    bool isUnloading() const { return unloading_; }

protected:
    // Windows call this from their constructor (after the controls exist).
    void registerLoaded();
    // For closeEvent: runs the protocol with mode vbFormControlMenu (or the
    // pending mode of an unload in progress) and accepts or ignores the event.
    void handleClose(QCloseEvent *event);
    // Called when the instance goes away: clears the shared-instance slot.
    virtual void releaseInstance() {}

private:
    bool unloading_ = false;
    bool unloaded_ = false;
};

namespace forms {
// Loaded windows, oldest first.
QList<Form *> loaded();
Form *find(const QString &objectName);
void forget(Form *f);
} // namespace forms

// Shared-instance helper: class frmX : public QWidget, public SharedForm<frmX>.
template <class T>
class SharedForm : public Form {
public:
    static T *get()
    {
        if (!slot().form) {
            T *form = new T();
            slot() = {form, form};
            static_cast<SharedForm *>(form)->registerLoaded();
            form->Form_Load();
        }
        return slot().form;
    }
    static bool isLoaded() { return slot().form != nullptr; }
    static T *instance() { return slot().form; }
    QWidget *widget() override { return static_cast<T *>(this); }

protected:
    void releaseInstance() override { forget(); }
    ~SharedForm() override { forget(); }

private:
    // The instance is kept under both its types, so that clearing it while the
    // window is being destroyed compares base pointers and needs no cast to
    // the already destroyed derived type.
    struct Slot {
        T *form = nullptr;
        SharedForm *base = nullptr;
    };
    static Slot &slot()
    {
        static Slot s;
        return s;
    }
    void forget()
    {
        if (slot().base == this)
            slot() = {};
    }
};

// Windows that fit their screen. A window's frame is brought wholly into the
// available part of its screen whenever it is shown: a window larger than
// that shrinks to it where its minimum size allows, and one placed (or stored)
// past an edge comes back inside.
namespace screenfit {
// Where a frame of the given rectangle goes to lie wholly in available; a
// frame larger than available keeps its size and takes the top left corner.
QRect placeWithin(const QRect &frame, const QRect &available);
// Brings one window onto its screen now.
void fitWindow(QWidget *window);
// From now on every window is fitted as it is shown.
void fitEveryWindow();
// A body that scrolls inside the window, for a window whose controls may
// need more room than a small screen has: lay the controls out on the body.
// The window asks for the body's whole size, so a large screen shows all.
QWidget *scrollingBody(QWidget *window);
} // namespace screenfit

// Menu items by name and toolbar buttons by key, under a window.
QAction *menuItem(QWidget *root, const QString &name);
QAction *toolButton(QWidget *root, const QString &key);

} // namespace vt
