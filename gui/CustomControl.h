// TGraphicControl (windowless, painted through a canvas) and TCustomControl (own window, painted through a
// canvas).
#pragma once

#include "gui/WinControl.h"

#include <memory>

// The canvas of a control. During painting it wraps the paint DC; outside of it,
// a windowed control's canvas takes a DC of its window on demand.
class TControlCanvas : public TCanvas {
public:
    explicit TControlCanvas(TControl& control) : control_(control) {}
    ~TControlCanvas() override;
    TControl& Control() const { return control_; }
    // Gives back a DC taken with GetDC.
    void FreeHandle();

protected:
    void CreateHandle() override;

private:
    TControl& control_;
    HWND dcWindow_ = nullptr;
    HDC ownDC_ = nullptr;
};

// Lends a DC that someone else owns (a paint or owner-draw DC) to a control's
// canvas for one scope: the canvas gives back its own DC first and is locked,
// and it lets go of the borrowed one when the scope ends, also when painting throws.
class TCanvasDCLoan {
public:
    explicit TCanvasDCLoan(TControlCanvas& canvas) : canvas_(canvas) {
        canvas_.FreeHandle();
        canvas_.Lock();
    }
    ~TCanvasDCLoan() {
        canvas_.SetHandle(nullptr);
        canvas_.Unlock();
    }
    TCanvasDCLoan(const TCanvasDCLoan&) = delete;
    TCanvasDCLoan& operator=(const TCanvasDCLoan&) = delete;

private:
    TControlCanvas& canvas_;
};

class TGraphicControl : public TControl {
public:
    explicit TGraphicControl(TComponent* owner);
    ~TGraphicControl() override;

    TCanvas& Canvas() { return *canvas_; }
    void WndProc(TMessage& message) override;

protected:
    virtual void Paint();

private:
    std::unique_ptr<TControlCanvas> canvas_;
};

class TCustomControl : public TWinControl {
public:
    explicit TCustomControl(TComponent* owner);
    ~TCustomControl() override;

    TCanvas& Canvas() { return *canvas_; }

protected:
    virtual void Paint();
    // Wraps the DC in the canvas and calls Paint (into an off-screen bitmap
    // first when DoubleBuffered).
    void PaintWindow(HDC dc) override;
    void DestroyWnd() override;

private:
    std::unique_ptr<TControlCanvas> canvas_;
};
