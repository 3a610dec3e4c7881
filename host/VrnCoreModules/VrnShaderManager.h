#pragma once

#include <QMutex>
#include <QString>
#include <QStringList>

// Global shader settings of the application: the defines of the current build
// and the meta-type ids that generators compare attribute values with.
class VrnShaderManager
{
public:
    static VrnShaderManager& instance();

    // A copy, safe to read while another thread changes the defines.
    QStringList shaderDefines() const;
    void setShaderDefines(const QStringList& defines);

    // Lines that enclose text the secure shader log must not show.
    static QString startTokenForSecureShaderLog();
    static QString endTokenForSecureShaderLog();

    static const int MetaType_Vector2f;
    static const int MetaType_Vector3f;
    static const int MetaType_Vector4f;
    static const int MetaType_VrnStringList;
    static const int MetaType_VrnUserEnum;
    static const int MetaType_VrnColor;
    static const int MetaType_VrnFileList;
    static const int MetaType_VrnImageList;
    static const int MetaType_VrnGradient;
    static const int MetaType_VrnChannelId;
    static const int MetaType_VrnLocatorList;

private:
    VrnShaderManager() = default;
    mutable QMutex m_mutex;
    QStringList m_defines;
};
