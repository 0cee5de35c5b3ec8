#pragma once

#include <QMargins>
#include <QObject>
#include <QPointer>
#include <QRect>

class QWidget;
class QWindow;

namespace zel {

// A top-level window's outer frame (Width, Height, Top, Left in twips), kept as it was given.
// Qt places the client area, and the window manager's frame is known only once it has framed
// the mapped window, after the show: the placement asked for is kept and asked again as soon as
// the real frame is known, so that the outer measures round-trip.
class OuterFrame : public QObject {
public:
    explicit OuterFrame(QWidget& window);

    enum Measure { Height, Width, Top, Left };
    float get(Measure measure) const;  // twips
    void set(Measure measure, float twips);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void place(QRect outer);
    void follow();

    QWidget& window_;
    QRect asked_;  // pixels
    // The frame the last placement was converted with; the native window that reports when
    // the window manager has framed the window.
    QMargins assumed_;
    QPointer<QWindow> native_;
};

}  // namespace zel
