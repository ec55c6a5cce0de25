#pragma once

#include <QList>
#include <QObject>
#include <QPointer>
#include <QRect>
#include <QUndoStack>
#include <functional>
#include <memory>

#include "editor/TControlEdit.h"
#include "waybill/WaybillTemplate.h"

class QWidget;

// The undo history of the layout on the band since the template was loaded: every move,
// resize, nudge, alignment, delete, cut and paste of the layout editor, and every shift of all
// fields, is one step. A step records the band's controls before and after (which widgets, in
// which order, where, shown or hidden) and the design values the layout is measured against,
// so undoing it puts back the very widgets, texts included. Deleted and cut controls are not
// destroyed but kept out of sight until the history starts afresh.
//
// The history is clean at the load and at every save; undoing back to that point is clean too.
class LayoutHistory : public QObject {
    Q_OBJECT
  public:
    struct BandState {
        struct Control {
            QPointer<QWidget> widget;
            QRect geometry;
            bool hidden = false;
            bool operator==(const Control&) const = default;
        };
        QList<Control> controls;  // in child order
        WaybillTemplate designs;
        bool sameControls(const BandState& other) const { return controls == other.controls; }
    };

    // `designs` reads and `setDesigns` writes the design values the band's layout is measured
    // against (the main window's loaded set).
    LayoutHistory(TControlEdit* editor, std::function<WaybillTemplate()> designs,
                  std::function<void(const WaybillTemplate&)> setDesigns, QObject* parent);
    ~LayoutHistory() override;

    QUndoStack* stack() { return &m_stack; }
    bool hasUnsavedChanges() const { return !m_stack.isClean(); }
    void markSaved() { m_stack.setClean(); }

    // A fresh history (a template was loaded): the kept controls are destroyed.
    void reset();
    // Around a change made by the program itself (shifting all fields): one step.
    void begin();
    void end(const QString& description);
    // Takes a deleted control out of the band and keeps it for an undo.
    void keep(QWidget* control);

    BandState capture() const;
    void restore(const BandState& state);

  signals:
    // The band was put back to an earlier or later state.
    void restored();

  private:
    void keepFocusOffTheFields();

    QPointer<TControlEdit> m_editor;  // may go first when the window closes
    std::function<WaybillTemplate()> m_designs;
    std::function<void(const WaybillTemplate&)> m_setDesigns;
    QUndoStack m_stack;
    std::unique_ptr<QWidget> m_kept;  // never shown; holds deleted controls
    BandState m_before;
    bool m_recording = false;
};
