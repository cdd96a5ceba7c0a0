#pragma once

// How a long pass reports its progress: the caller sets the maximum, shows,
// advances once per row and hides. The progress window implements it; the
// benchmark and the tests use NoProgress.
class Progress
{
public:
    virtual ~Progress() = default;
    virtual void setMaximum(int maximum) = 0;
    virtual void show() = 0;
    virtual void advance() = 0;
    virtual void hide() = 0;
};

class NoProgress : public Progress
{
public:
    void setMaximum(int) override {}
    void show() override {}
    void advance() override {}
    void hide() override {}
};
