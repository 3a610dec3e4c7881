#include "VrnReusedText.h"

#include "VrnThreadLocal.h"

#include <array>

namespace {
// A buffer far larger than the text it is to hold is not handed out: a
// caller that kept the text would keep all of it.
constexpr int kSlack = 8;
constexpr int kSmallest = 512;
} // namespace

QString& VrnReusedText::take(Use use, int size)
{
    QString& text = vrnThreadInstance<std::array<QString, UseCount>>()[size_t(use)];
    if (!text.isDetached() || text.capacity() < size || text.capacity() > kSlack * qMax(size, kSmallest)) {
        // Made to measure: where callers keep every text, each keeps a buffer of its own size.
        text = QString();
        if (size > 0)
            text.reserve(size);
    }
    text.resize(0);
    return text;
}
