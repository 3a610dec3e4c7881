#include "VrnShaderManager.h"

#include "VrnAttributeValues.h"

#include "VrnMutexLocker.h"

const int VrnShaderManager::MetaType_Vector2f = vrnAttributeMetaTypes().vector2f;
const int VrnShaderManager::MetaType_Vector3f = vrnAttributeMetaTypes().vector3f;
const int VrnShaderManager::MetaType_Vector4f = vrnAttributeMetaTypes().vector4f;
const int VrnShaderManager::MetaType_VrnStringList = vrnAttributeMetaTypes().stringList;
const int VrnShaderManager::MetaType_VrnUserEnum = vrnAttributeMetaTypes().userEnum;
const int VrnShaderManager::MetaType_VrnColor = vrnAttributeMetaTypes().color;
const int VrnShaderManager::MetaType_VrnFileList = vrnAttributeMetaTypes().fileList;
const int VrnShaderManager::MetaType_VrnImageList = vrnAttributeMetaTypes().imageList;
const int VrnShaderManager::MetaType_VrnGradient = vrnAttributeMetaTypes().gradient;
const int VrnShaderManager::MetaType_VrnChannelId = vrnAttributeMetaTypes().channelId;
const int VrnShaderManager::MetaType_VrnLocatorList = vrnAttributeMetaTypes().locatorList;

VrnShaderManager& VrnShaderManager::instance()
{
    static VrnShaderManager* manager = new VrnShaderManager;
    return *manager;
}

QStringList VrnShaderManager::shaderDefines() const
{
    VrnMutexLocker lock(&m_mutex);
    return m_defines;
}

void VrnShaderManager::setShaderDefines(const QStringList& defines)
{
    VrnMutexLocker lock(&m_mutex);
    m_defines = defines;
}

QString VrnShaderManager::startTokenForSecureShaderLog()
{
    return QStringLiteral("// <<<VRN-SECURE-BEGIN>>>\n");
}

QString VrnShaderManager::endTokenForSecureShaderLog()
{
    return QStringLiteral("// <<<VRN-SECURE-END>>>\n");
}
