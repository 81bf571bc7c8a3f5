// The main window TGrundfenster of FensterGraf (implemented in
// FensterGraf.cpp): it presents the framebuffer, turns key events into the
// console's key codes and ticks the program every millisecond, or at once
// after a tick that waited. Only the Qt front end's own modules and tests
// use this header.
#pragma once

#include <QRect>
#include <QWidget>

#include <string>

class QPainter;
class QTimer;

class TGrundfenster : public QWidget {
  Q_OBJECT
public:
  // windowed = false: maximised and borderless over the whole screen;
  // windowed = true: a normal, resizable window.
  explicit TGrundfenster(bool windowed = false);
  ~TGrundfenster() override;
  void ShowAndActivate();
  void SetTickInterval(int milliseconds);
  int TickInterval() const; // in milliseconds; 0: the next tick comes at once
  // Shows the notice now and takes it away when its time is up.
  void RefreshNotice(int milliseconds);
  // Puts these rectangles of the framebuffer on the screen: at once where
  // it can, else by a repaint when the event loop next runs.
  void Present(const QRegion& region);

signals:
  // The region of the framebuffer has been put into the window's backing
  // store, which goes to the screen.
  void Presented(const QRegion& region);

protected:
  void paintEvent(QPaintEvent* event) override;
  QImage* DirectTarget(const QRegion& region) const;
  // The device as an image the region of the framebuffer may be copied into
  // row by row: 32-bit pixels, no scaling, the region inside; else nullptr.
  static QImage* CopyTarget(QPaintDevice* device, const QRegion& region);
  void resizeEvent(QResizeEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  // Tab is a key like any other here, not a move to another control.
  bool focusNextPrevChild(bool next) override;

private:
  bool PresentThroughBackingStore(const QRegion& region);
  void PaintPictureAndNotice(const QImage& picture, const QRegion& region);
  void OnTimer();
  void PaintNotice(QPainter& painter);
  QRect NoticeBoxFor(const std::string& text) const;
  QTimer* Timer;
  QTimer* NoticeTimer;
  bool Windowed;
  QRect NoticeBox; // where the notice shown last stands
};

extern TGrundfenster* Grundfenster; // the one main window, or nullptr headless
