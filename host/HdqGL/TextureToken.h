#pragma once

#include <QAtomicInt>

namespace Quorvex {
namespace Hdq {

// A handle that names one GPU texture of the renderer. A default-constructed
// token names no texture.
class TextureToken
{
public:
    TextureToken();
    explicit TextureToken(int id) : m_id(id) {}

    bool isNull() const { return m_id == 0; }
    int id() const { return m_id; }

    // How many tokens were constructed in this process (for diagnostics).
    static int constructedCount();

private:
    int m_id = 0;
};

} // namespace Hdq
} // namespace Quorvex
