#pragma once

#include "VrnClassFactory.h"
#include "VrnPluginInterface.h"

#include <QObject>

// The plug-in object the host initialises: it registers the class factories of
// the three node contexts. The six code generators register themselves when the
// library loads.
class VrnShaderNetworkGlslContextPlugin : public QObject, public VrnPluginInterface
{
    Q_OBJECT
    Q_PLUGIN_METADATA(IID VrnPluginInterface_iid)
    Q_INTERFACES(VrnPluginInterface)
public:
    bool initialize() override;
    bool uninitialize() override;
    ~VrnShaderNetworkGlslContextPlugin() override;
    QString pluginName() const override;
    QString pluginDescription() const override;
    QString pluginAuthor() const override;
    QString pluginVendor() const override;
    qint32 pluginVersion() const override;
};

class VrnVrnSnGlslChannelInputContextClassFactory : public VrnClassFactory
{
public:
    QPointer<QObject> create(QObject* parent) override;
    QString className() const override;
    QString typeName() const override;
};

class VrnVrnSnGlslChannelBakeContextClassFactory : public VrnClassFactory
{
public:
    QPointer<QObject> create(QObject* parent) override;
    QString className() const override;
    QString typeName() const override;
};

class VrnVrnSnGlslIBLContextClassFactory : public VrnClassFactory
{
public:
    QPointer<QObject> create(QObject* parent) override;
    QString className() const override;
    QString typeName() const override;
};
