#include "app/LayoutHistory.h"

#include <QApplication>
#include <QWidget>

#include "editor/EditorControls.h"

namespace {
class BandStep : public QUndoCommand {
  public:
    BandStep(LayoutHistory* history, LayoutHistory::BandState before,
             LayoutHistory::BandState after, const QString& description)
        : QUndoCommand(description),
          m_history(history),
          m_before(std::move(before)),
          m_after(std::move(after)) {}

    // The change is already on the band when the step is recorded.
    void redo() override {
        if (m_done) m_history->restore(m_after);
        m_done = true;
    }
    void undo() override { m_history->restore(m_before); }

  private:
    LayoutHistory* m_history;
    LayoutHistory::BandState m_before;
    LayoutHistory::BandState m_after;
    bool m_done = false;
};
}  // namespace

LayoutHistory::LayoutHistory(TControlEdit* editor, std::function<WaybillTemplate()> designs,
                             std::function<void(const WaybillTemplate&)> setDesigns,
                             QObject* parent)
    : QObject(parent),
      m_editor(editor),
      m_designs(std::move(designs)),
      m_setDesigns(std::move(setDesigns)),
      m_kept(std::make_unique<QWidget>()) {
    connect(editor, &TSizeFrames::editStarting, this, &LayoutHistory::begin);
    connect(editor, &TSizeFrames::editFinished, this, [this] { end(QStringLiteral("调整标签")); });
    editor->OnRemoveControl = [this](QWidget* control) { keep(control); };
}

LayoutHistory::~LayoutHistory() {
    if (m_editor) m_editor->OnRemoveControl = nullptr;
    m_stack.clear();
}

void LayoutHistory::reset() {
    m_stack.clear();
    m_recording = false;
    qDeleteAll(m_kept->findChildren<QWidget*>(Qt::FindDirectChildrenOnly));
}

void LayoutHistory::begin() {
    m_before = capture();
    m_recording = true;
}

void LayoutHistory::keepFocusOffTheFields() {
    // Without a selection the released frames lose the focus when they go, and Qt would hand
    // it to a field, whose own undo would then take the next Ctrl+Z; the band keeps it.
    QWidget* band = m_editor ? m_editor->EditControl() : nullptr;
    QWidget* focus = QApplication::focusWidget();
    if (band && m_editor->ChildCount() == 0 && focus && band->isAncestorOf(focus))
        band->setFocus(Qt::OtherFocusReason);
}

void LayoutHistory::end(const QString& description) {
    if (!m_recording) return;
    m_recording = false;
    keepFocusOffTheFields();
    BandState after = capture();
    if (after.sameControls(m_before)) return;
    m_stack.push(new BandStep(this, std::move(m_before), std::move(after), description));
}

void LayoutHistory::keep(QWidget* control) {
    control->setParent(m_kept.get());
}

LayoutHistory::BandState LayoutHistory::capture() const {
    BandState state;
    state.designs = m_designs();
    QWidget* band = m_editor ? m_editor->EditControl() : nullptr;
    if (!band) return state;
    for (QWidget* c : EditorControls::selectableChildren(band, band))
        state.controls << BandState::Control{c, c->geometry(), c->isHidden()};
    return state;
}

void LayoutHistory::restore(const BandState& state) {
    QWidget* band = m_editor ? m_editor->EditControl() : nullptr;
    if (!band) return;
    m_editor->Clear();
    QList<QWidget*> wanted;
    for (const BandState::Control& c : state.controls)
        if (c.widget) wanted << c.widget;
    for (QWidget* c : EditorControls::selectableChildren(band, band))
        if (!wanted.contains(c)) keep(c);
    for (const BandState::Control& c : state.controls) {
        if (!c.widget) continue;
        if (c.widget->parentWidget() != band) c.widget->setParent(band);
        c.widget->setGeometry(c.geometry);
        c.widget->setVisible(!c.hidden);
        // Raised one after the other, the controls stand in the recorded order.
        c.widget->raise();
    }
    m_setDesigns(state.designs);
    keepFocusOffTheFields();
    emit restored();
}
