#pragma once

// What the editor asks of whoever shows it: a host's editor window, the LV2 UI, the standalone
// application or the scriptable editor program. [ui]
class EditorHost {
public:
    virtual ~EditorHost() = default;
    // An edit of a parameter begins (the host's touch) and ends (its release). Between the two the
    // editor sets the value on the plug-in; the plug-in reports it to the host as usual.
    virtual void editBegan(int /*parameter*/) {}
    virtual void editEnded(int /*parameter*/) {}
    // Asks for a new size of the editor's window; false when the host cannot resize it.
    virtual bool resizeRequested(int width, int height) = 0;
    // Whether the host runs the plug-in's deferred work (a program change's preset load) on a thread
    // of its own; otherwise the editor's timer runs it while the editor is open. Never both.
    virtual bool performsDeferredWork() const { return false; }
};
