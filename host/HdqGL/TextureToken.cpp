#include "TextureToken.h"

namespace {
QAtomicInt& counter()
{
    static QAtomicInt count;
    return count;
}
} // namespace

namespace Quorvex {
namespace Hdq {

TextureToken::TextureToken()
{
    counter().fetchAndAddRelaxed(1);
}

int TextureToken::constructedCount()
{
    return counter().loadRelaxed();
}

} // namespace Hdq
} // namespace Quorvex
