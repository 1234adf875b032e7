// What every tool window shares: the main menu's keys, Escape to close it, and its place,
// kept between runs in the extra settings and brought back wholly onto a screen.
#include "app/Hlav.h"

#include <QAction>
#include <QEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMenu>
#include <QMenuBar>
#include <QScreen>

#include <vector>

#include "files/Profile.h"
#include "ui/WindowPlace.h"
#include "app/FormCurve.h"
#include "app/FormDiff.h"
#include "app/FormPorts.h"
#include "app/FormRestorePoints.h"

namespace {

TBox Box(const QRect& r) {
  return {r.x(), r.y(), r.width(), r.height()};
}

// Escape that no control of the window took for itself closes the window (the curve graph
// takes it while a point is dragged); hiding keeps the window's place.
class TToolWindowEvents : public QObject {
public:
  TToolWindowEvents(TFormHlav& form, QWidget* tool, std::string section)
      : QObject(tool), Form(form), Tool(tool), Section(std::move(section)) {
    tool->installEventFilter(this);
  }

protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (watched != Tool) return false;
    if (event->type() == QEvent::KeyPress) {
      const auto* key = static_cast<QKeyEvent*>(event);
      if (key->key() == Qt::Key_Escape && key->modifiers() == Qt::NoModifier) {
        Tool->close();
        return true;
      }
    } else if (event->type() == QEvent::Hide && !Form.Closed) {
      Form.KeepToolPlace(Tool, Section);
    }
    return false;
  }

private:
  TFormHlav& Form;
  QWidget* Tool;
  std::string Section;
};

} // namespace

QList<QAction*> TFormHlav::MenuKeyActions() const {
  QList<QAction*> keyed;
  std::vector<const QMenu*> menus;
  for (const QAction* title : MainMenu1->actions())
    if (title->menu() != nullptr) menus.push_back(title->menu());
  for (std::size_t i = 0; i < menus.size(); ++i)
    for (QAction* action : menus[i]->actions()) {
      if (action->menu() != nullptr)
        menus.push_back(action->menu());
      else if (!action->shortcuts().isEmpty())
        keyed << action;
    }
  return keyed;
}

bool TFormHlav::JoinToolWindow(QWidget* tool, const std::string& section) {
  // The actions themselves, so every key of an action works, and its enabled state holds:
  // a control of the tool window that uses a key takes it first (ShortcutOverride).
  tool->addActions(MenuKeyActions());
  new TToolWindowEvents(*this, tool, section);
  return RestoreToolPlace(tool, section);
}

QSize TFormHlav::FrameExtent() const {
  const QSize frame = frameGeometry().size() - size();
  return frame.isValid() ? frame : QSize(0, 0);
}

bool TFormHlav::RestoreToolPlace(QWidget* tool, const std::string& section) {
  const TProfileFile& settings = ExtraSettings();
  const TBox kept{settings.ReadInteger(section, "Left", 0), settings.ReadInteger(section, "Top", 0),
                  settings.ReadInteger(section, "Width", 0),
                  settings.ReadInteger(section, "Height", 0)};
  if (kept.Width <= 0 || kept.Height <= 0) return false;
  // Kept as the window's place and its inner size; the frame is the main window's, as the
  // tool window has none before it is shown.
  const QSize frame = FrameExtent();
  const QSize least = tool->minimumSizeHint().expandedTo(tool->minimumSize());
  TBox outer{kept.Left, kept.Top, std::max(kept.Width, least.width()) + frame.width(),
             std::max(kept.Height, least.height()) + frame.height()};
  std::vector<TBox> areas;
  for (const QScreen* screen : QGuiApplication::screens())
    areas.push_back(Box(screen->availableGeometry()));
  const int area = AreaOf(outer, areas.data(), static_cast<int>(areas.size()));
  if (area >= 0) outer = KeepOnArea(outer, areas[area]);
  tool->resize(outer.Width - frame.width(), outer.Height - frame.height());
  tool->move(outer.Left, outer.Top);
  return true;
}

void TFormHlav::KeepToolPlace(const QWidget* tool, const std::string& section) {
  TProfileFile& settings = ExtraSettings();
  settings.WriteInteger(section, "Left", tool->x());
  settings.WriteInteger(section, "Top", tool->y());
  settings.WriteInteger(section, "Width", tool->width());
  settings.WriteInteger(section, "Height", tool->height());
}

void TFormHlav::KeepToolPlaces() {
  const std::pair<QWidget*, const char*> tools[] = {{FormCurve, CurveWindowSection},
                                                    {FormRestorePoints, RestoreWindowSection},
                                                    {FormDiff, DiffWindowSection},
                                                    {FormPorts, PortsWindowSection}};
  for (const auto& [tool, section] : tools)
    if (tool != nullptr && tool->isVisible()) KeepToolPlace(tool, section);
}
