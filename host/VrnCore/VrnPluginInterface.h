#pragma once

#include <QString>
#include <QtPlugin>

// The interface every plug-in library of the application implements. The host
// loads the library, casts its instance to this interface and calls initialize().
class VrnPluginInterface
{
public:
    enum InitializePriority { HighPriority = 0, NormalPriority = 1, LowPriority = 2 };

    virtual bool initialize() = 0;
    virtual bool uninitialize() = 0;
    virtual ~VrnPluginInterface();
    virtual QString pluginName() const = 0;
    virtual QString pluginDescription() const = 0;
    virtual QString pluginAuthor() const = 0;
    virtual QString pluginVendor() const = 0;
    virtual qint32 pluginVersion() const = 0;
    virtual InitializePriority initializePriority() const;
};

#define VrnPluginInterface_iid "com.verna.vrncore.pluginterface/1.0"
Q_DECLARE_INTERFACE(VrnPluginInterface, VrnPluginInterface_iid)
