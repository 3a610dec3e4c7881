#include "VrnPluginInterface.h"

VrnPluginInterface::~VrnPluginInterface() = default;

VrnPluginInterface::InitializePriority VrnPluginInterface::initializePriority() const
{
    return NormalPriority;
}
