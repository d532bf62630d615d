#include "platform/Clipboard.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>
#include <QThread>

namespace platform {

QByteArray TClipboardContent::Format(const QString& mimeType) const
{
    for (const auto& [type, data] : Formats)
        if (type == mimeType)
            return data;
    return {};
}

bool TClipboardContent::HasFormat(const QString& mimeType) const
{
    for (const auto& entry : Formats)
        if (entry.first == mimeType)
            return true;
    return false;
}

void TClipboardContent::SetFormat(const QString& mimeType, const QByteArray& data)
{
    for (auto& entry : Formats)
        if (entry.first == mimeType) {
            entry.second = data;
            return;
        }
    Formats.emplace_back(mimeType, data);
}

namespace {

// The clipboard of the running GUI application, or nullptr (no application
// object, or a call from another thread, where QClipboard must not be used).
QClipboard* GuiClipboard()
{
    auto* app = qobject_cast<QGuiApplication*>(QCoreApplication::instance());
    if (app == nullptr || QThread::currentThread() != app->thread())
        return nullptr;
    return QGuiApplication::clipboard();
}

TClipboardContent& MemoryStore()
{
    static TClipboardContent store;
    return store;
}

bool SetDefault(const TClipboardContent& content)
{
    QClipboard* clipboard = GuiClipboard();
    if (clipboard == nullptr) {
        MemoryStore() = content;
        return true;
    }
    if (content.Empty()) {
        clipboard->clear();
        return true;
    }
    auto* mime = new QMimeData;
    if (content.HasText)
        mime->setText(content.Text);
    if (!content.Image.isNull())
        mime->setImageData(content.Image);
    for (const auto& [type, data] : content.Formats)
        mime->setData(type, data);
    clipboard->setMimeData(mime);               // the clipboard owns it now
    return true;
}

TClipboardContent GetDefault()
{
    QClipboard* clipboard = GuiClipboard();
    if (clipboard == nullptr)
        return MemoryStore();
    TClipboardContent content;
    const QMimeData* mime = clipboard->mimeData();
    if (mime == nullptr)
        return content;
    if (mime->hasText()) {
        content.HasText = true;
        content.Text = mime->text();
    }
    if (mime->hasImage())
        content.Image = qvariant_cast<QImage>(mime->imageData());
    for (const QString& type : mime->formats()) {
        if (type == QLatin1String(MimePlainText) || type.startsWith(QLatin1String("text/plain;")))
            continue;
        if (type.startsWith(QLatin1String("application/x-qt-image")))
            continue;
        content.Formats.emplace_back(type, mime->data(type));
    }
    return content;
}

TClipboardBackend& Current()
{
    static TClipboardBackend backend = DefaultClipboardBackend();
    return backend;
}

} // namespace

TClipboardBackend DefaultClipboardBackend()
{
    return TClipboardBackend{&SetDefault, &GetDefault};
}

const TClipboardBackend& ClipboardBackend()
{
    return Current();
}

TClipboardBackend SetClipboardBackend(TClipboardBackend backend)
{
    TClipboardBackend previous = std::move(Current());
    Current() = std::move(backend);
    return previous;
}

bool SetClipboardContent(const TClipboardContent& content)
{
    const auto& set = Current().Set;
    return set ? set(content) : false;
}

bool SetClipboardText(const QString& text)
{
    TClipboardContent content;
    content.HasText = true;
    content.Text = text;
    return SetClipboardContent(content);
}

TClipboardContent ClipboardContent()
{
    const auto& get = Current().Get;
    return get ? get() : TClipboardContent{};
}

QString ClipboardText()
{
    return ClipboardContent().Text;
}

bool ClipboardHasFormat(const QString& mimeType)
{
    const TClipboardContent content = ClipboardContent();
    if (mimeType == QLatin1String(MimePlainText))
        return content.HasText;
    return content.HasFormat(mimeType);
}

bool ClearClipboard()
{
    return SetClipboardContent(TClipboardContent{});
}

TScopedClipboard::TScopedClipboard()
{
    saved_ = SetClipboardBackend(TClipboardBackend{
        [this](const TClipboardContent& c) {
            if (refuse)
                return false;
            setCalls.push_back(c);
            content = c;
            return true;
        },
        [this] { return content; }});
}

TScopedClipboard::~TScopedClipboard()
{
    SetClipboardBackend(std::move(saved_));
}

} // namespace platform
