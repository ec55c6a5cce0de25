#pragma once

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QRect>
#include <QString>

class QWidget;

// The clipboard entry of the layout editor: one tree of controls, written by a copy and
// read back by a paste.
//
// The entry sits on the clipboard under the MIME type kMimeType. Its bytes are a QDataStream
// (stream version Qt 6.0, big-endian) of:
//
//     quint32 magic 0x51564C43 ("QVLC"), quint16 format version (1), then the root node.
//     node := QString class name, QString object name,
//             qint32 left, top, width, height (relative to the parent it was copied from),
//             bool visible, bool enabled, bool own font, QString font (QFont::toString),
//             QString text, quint32 flags, bool non-windowed, QByteArray picture (PNG),
//             quint32 child count, then the children in child order.
//
// The root is a plain QWidget named "Clipboard_" that stands for the temporary container of
// the copy; its children are the copied controls, and nested controls stand under their own
// parents. Nothing but these fields is read, and everything is checked before a single widget
// is made: the format (magic, version, sizes, bounds, names, fonts, picture, no trailing bytes)
// and, by the paste, the classes. A bad entry raises an AppError and leaves nothing behind.
struct ControlNode {
    enum Flag : quint32 {
        Editable = 0x1,        // a combo box one types into
        ScaledContents = 0x2,  // a label that stretches its picture
    };

    QString className;
    QString objectName;
    QRect geometry;
    bool visible = true;
    bool enabled = true;
    bool ownFont = false;
    QString font;
    QString text;
    quint32 flags = 0;
    bool nonWindowed = false;
    QByteArray picture;
    QList<ControlNode> children;

    // This node and every node under it, depth first, each before its children: the order in
    // which a reader makes the components.
    QList<const ControlNode*> preorder() const;
};

namespace ControlStream {

inline constexpr char kMimeType[] = "application/x-quorvel-controls";
inline constexpr quint32 kMagic = 0x51564C43;
inline constexpr quint16 kVersion = 1;
inline constexpr char kRootName[] = "Clipboard_";

// Limits of a readable entry. A band holds a dozen controls; the node limit (the root
// included) keeps the largest paste that is read to well under a second, since every pasted
// control is a widget of its own with a selection frame.
inline constexpr qsizetype kMaxBytes = 64 * 1024 * 1024;
inline constexpr int kMaxNodes = 1024;
inline constexpr int kMaxDepth = 32;
inline constexpr int kMaxNameLength = 255;
inline constexpr int kMaxTextLength = 1 << 20;
inline constexpr int kMaxCoordinate = 32767;

QByteArray write(const ControlNode& root);
// Reads and checks an entry; throws AppError("Invalid stream format") for anything malformed
// and AppError("'%s' is not a valid component name") for a bad name.
ControlNode read(const QByteArray& bytes);

// A node for a widget and, recursively, the controls inside it (`container` is the edited
// container, for the rules of what counts as a control).
ControlNode capture(const QWidget* w, const QWidget* container);
// A widget for a node, without a parent, and the widgets of the nodes under it. The classes
// must be creatable (ControlClassRegistry); names are set as stored. `made`, when given,
// receives the widget made for each node.
QWidget* build(const ControlNode& node, QHash<const ControlNode*, QWidget*>* made = nullptr);

// A valid component name: a letter or underscore, then letters, digits and underscores.
bool isValidName(const QString& name);

}  // namespace ControlStream
