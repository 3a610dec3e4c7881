#include "VrnShaderNetworkManager.h"

#include "VrnMutexLocker.h"

VrnShaderNetworkManager& VrnShaderNetworkManager::instance()
{
    static VrnShaderNetworkManager* manager = new VrnShaderNetworkManager;
    return *manager;
}

bool VrnShaderNetworkManager::versionUUIDExists(const QString& uuid) const
{
    VrnMutexLocker lock(&m_mutex);
    return m_pathKeys.contains(uuid);
}

QString VrnShaderNetworkManager::pathKeyForVersionUUID(const QString& uuid) const
{
    VrnMutexLocker lock(&m_mutex);
    return m_pathKeys.value(uuid);
}

void VrnShaderNetworkManager::registerVersionUUID(const QString& uuid, const QString& pathKey)
{
    VrnMutexLocker lock(&m_mutex);
    m_pathKeys.insert(uuid, pathKey);
}

void VrnShaderNetworkManager::clear()
{
    VrnMutexLocker lock(&m_mutex);
    m_pathKeys.clear();
}
