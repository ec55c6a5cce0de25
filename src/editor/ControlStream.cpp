#include "editor/ControlStream.h"

#include <QAbstractButton>
#include <QBuffer>
#include <QComboBox>
#include <QDataStream>
#include <QFont>
#include <QGroupBox>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPixmap>
#include <QWidget>
#include <memory>

#include "editor/ControlClassRegistry.h"
#include "editor/EditorControls.h"
#include "platform/AppError.h"

QList<const ControlNode*> ControlNode::preorder() const {
    QList<const ControlNode*> nodes{this};
    for (const ControlNode& child : children) nodes += child.preorder();
    return nodes;
}

namespace ControlStream {
namespace {

constexpr QDataStream::Version kStreamVersion = QDataStream::Qt_6_0;

[[noreturn]] void invalidFormat() {
    throw AppError(QStringLiteral("Invalid stream format"));
}

bool isIdentifier(QStringView s) {
    if (s.isEmpty()) return false;
    for (qsizetype i = 0; i < s.size(); ++i) {
        const QChar c = s[i];
        const bool letter = (c >= QLatin1Char('a') && c <= QLatin1Char('z')) ||
                            (c >= QLatin1Char('A') && c <= QLatin1Char('Z')) ||
                            c == QLatin1Char('_');
        const bool digit = c >= QLatin1Char('0') && c <= QLatin1Char('9');
        if (!letter && !(digit && i > 0)) return false;
    }
    return true;
}

// Qt class names may carry a namespace: Ns::Class.
bool isValidClassName(const QString& name) {
    if (name.isEmpty() || name.size() > kMaxNameLength) return false;
    for (const QString& part : name.split(QStringLiteral("::")))
        if (!isIdentifier(part)) return false;
    return true;
}

void writeNode(QDataStream& out, const ControlNode& n) {
    out << n.className << n.objectName << qint32(n.geometry.x()) << qint32(n.geometry.y())
        << qint32(n.geometry.width()) << qint32(n.geometry.height()) << n.visible << n.enabled
        << n.ownFont << n.font << n.text << n.flags << n.nonWindowed << n.picture
        << quint32(n.children.size());
    for (const ControlNode& child : n.children) writeNode(out, child);
}

class Reader {
  public:
    explicit Reader(QDataStream& in) : m_in(in) {}

    ControlNode node(int depth) {
        if (depth > kMaxDepth || ++m_nodes > kMaxNodes) invalidFormat();
        ControlNode n;
        qint32 x = 0, y = 0, w = 0, h = 0;
        quint32 childCount = 0;
        m_in >> n.className >> n.objectName >> x >> y >> w >> h >> n.visible >> n.enabled >>
            n.ownFont >> n.font >> n.text >> n.flags >> n.nonWindowed >> n.picture >> childCount;
        if (m_in.status() != QDataStream::Ok) invalidFormat();
        if (!isValidClassName(n.className)) invalidFormat();
        if (!n.objectName.isEmpty() && !isValidName(n.objectName))
            throw AppError(
                QStringLiteral("'%1' is not a valid component name").arg(n.objectName.left(64)));
        auto inRange = [](qint32 v, qint32 lo, qint32 hi) { return v >= lo && v <= hi; };
        if (!inRange(x, -kMaxCoordinate - 1, kMaxCoordinate) ||
            !inRange(y, -kMaxCoordinate - 1, kMaxCoordinate) || !inRange(w, 0, kMaxCoordinate) ||
            !inRange(h, 0, kMaxCoordinate))
            invalidFormat();
        n.geometry = QRect(x, y, w, h);
        if (n.ownFont) {
            QFont font;
            if (n.font.isEmpty() || n.font.size() > 1024 || !font.fromString(n.font))
                invalidFormat();
        } else if (!n.font.isEmpty()) {
            invalidFormat();
        }
        if (n.text.size() > kMaxTextLength) invalidFormat();
        if (n.flags & ~quint32(ControlNode::Editable | ControlNode::ScaledContents))
            invalidFormat();
        if (!n.picture.isEmpty()) {
            QImage image;
            if (!image.loadFromData(n.picture, "PNG")) invalidFormat();
        }
        if (childCount > quint32(kMaxNodes - m_nodes)) invalidFormat();
        for (quint32 i = 0; i < childCount; ++i) n.children << node(depth + 1);
        return n;
    }

  private:
    QDataStream& m_in;
    int m_nodes = 0;
};

QString textOf(const QWidget* w) {
    if (auto* c = qobject_cast<const QComboBox*>(w)) return c->currentText();
    if (auto* l = qobject_cast<const QLabel*>(w)) return l->text();
    if (auto* e = qobject_cast<const QLineEdit*>(w)) return e->text();
    if (auto* b = qobject_cast<const QAbstractButton*>(w)) return b->text();
    if (auto* g = qobject_cast<const QGroupBox*>(w)) return g->title();
    return {};
}

void applyText(QWidget* w, const ControlNode& n) {
    if (auto* c = qobject_cast<QComboBox*>(w)) {
        c->setEditable(n.flags & ControlNode::Editable);
        if (c->isEditable()) {
            c->setEditText(n.text);
        } else if (!n.text.isEmpty()) {
            c->addItem(n.text);
            c->setCurrentIndex(0);
        }
    } else if (auto* l = qobject_cast<QLabel*>(w)) {
        l->setText(n.text);
    } else if (auto* e = qobject_cast<QLineEdit*>(w)) {
        e->setText(n.text);
    } else if (auto* b = qobject_cast<QAbstractButton*>(w)) {
        b->setText(n.text);
    } else if (auto* g = qobject_cast<QGroupBox*>(w)) {
        g->setTitle(n.text);
    }
}

}  // namespace

bool isValidName(const QString& name) {
    return name.size() <= kMaxNameLength && isIdentifier(name);
}

QByteArray write(const ControlNode& root) {
    QByteArray bytes;
    QDataStream out(&bytes, QIODevice::WriteOnly);
    out.setVersion(kStreamVersion);
    out << kMagic << kVersion;
    writeNode(out, root);
    return bytes;
}

ControlNode read(const QByteArray& bytes) {
    if (bytes.size() > kMaxBytes) invalidFormat();
    QDataStream in(bytes);
    in.setVersion(kStreamVersion);
    quint32 magic = 0;
    quint16 version = 0;
    in >> magic >> version;
    if (in.status() != QDataStream::Ok || magic != kMagic || version != kVersion) invalidFormat();
    ControlNode root = Reader(in).node(0);
    if (!in.atEnd()) invalidFormat();
    if (root.className != QLatin1String("QWidget") || root.objectName != QLatin1String(kRootName))
        invalidFormat();
    return root;
}

ControlNode capture(const QWidget* w, const QWidget* container) {
    ControlNode n;
    n.className = QString::fromLatin1(w->metaObject()->className());
    n.objectName = w->objectName();
    n.geometry = w->geometry();
    // Visible unless hidden on purpose: a control of a window not yet shown is still visible.
    n.visible = !w->isHidden() || !w->testAttribute(Qt::WA_WState_ExplicitShowHide);
    n.enabled = w->isEnabledTo(w->parentWidget());
    n.ownFont = w->testAttribute(Qt::WA_SetFont);
    if (n.ownFont) n.font = w->font().toString();
    n.text = textOf(w);
    if (auto* c = qobject_cast<const QComboBox*>(w); c && c->isEditable())
        n.flags |= ControlNode::Editable;
    if (auto* l = qobject_cast<const QLabel*>(w)) {
        if (l->hasScaledContents()) n.flags |= ControlNode::ScaledContents;
        const QPixmap pixmap = l->pixmap();
        if (!pixmap.isNull()) {
            QBuffer buffer(&n.picture);
            buffer.open(QIODevice::WriteOnly);
            pixmap.save(&buffer, "PNG");
        }
    }
    n.nonWindowed = EditorControls::isNonWindowed(w);
    for (const QWidget* child : EditorControls::controlChildren(w, container))
        n.children << capture(child, container);
    return n;
}

QWidget* build(const ControlNode& n, QHash<const ControlNode*, QWidget*>* made) {
    // Held until complete, so that a failure part of the way frees what was made.
    std::unique_ptr<QWidget> w(ControlClassRegistry::create(n.className));
    w->setObjectName(n.objectName);
    w->setGeometry(n.geometry);
    w->setEnabled(n.enabled);
    if (n.ownFont) {
        QFont font;
        font.fromString(n.font);
        w->setFont(font);
    }
    applyText(w.get(), n);
    if (auto* l = qobject_cast<QLabel*>(w.get())) {
        l->setScaledContents(n.flags & ControlNode::ScaledContents);
        if (!n.picture.isEmpty()) {
            QPixmap pixmap;
            pixmap.loadFromData(n.picture, "PNG");
            l->setPixmap(pixmap);
        }
    }
    if (n.nonWindowed) EditorControls::setNonWindowed(w.get());
    for (const ControlNode& childNode : n.children) {
        QWidget* child = build(childNode, made);
        child->setParent(w.get());
        child->setVisible(childNode.visible);
    }
    if (made) made->insert(&n, w.get());
    return w.release();
}

}  // namespace ControlStream
