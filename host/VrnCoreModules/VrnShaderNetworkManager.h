#pragma once

#include <QHash>
#include <QMutex>
#include <QString>

// Knows the node kinds installed with the application by version UUID, and the
// path key under which each is filed.
class VrnShaderNetworkManager
{
public:
    static VrnShaderNetworkManager& instance();

    bool versionUUIDExists(const QString& uuid) const;
    QString pathKeyForVersionUUID(const QString& uuid) const;
    void registerVersionUUID(const QString& uuid, const QString& pathKey);
    void clear();

private:
    VrnShaderNetworkManager() = default;
    mutable QMutex m_mutex;
    QHash<QString, QString> m_pathKeys;
};
