// What an installation tells whoever shows it while it runs. The installation itself
// knows no window: the main dialog turns these into its timer, its buttons and its
// progress bar; a quiet run shows nothing.
#pragma once

class InstallProgress {
public:
    // The installation begins.
    virtual void Started() = 0;
    // One of its steps is done.
    virtual void Stepped() = 0;
    // It is over (newdev.dll is freed again); its result follows.
    virtual void Finished() = 0;

protected:
    ~InstallProgress() = default;
};

// A run without a window: nothing to show.
class NoProgress final : public InstallProgress {
public:
    void Started() override {}
    void Stepped() override {}
    void Finished() override {}
};
