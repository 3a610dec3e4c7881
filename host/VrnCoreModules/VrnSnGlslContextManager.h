#pragma once

#include "VrnSnNodeGlslInfo.h"

#include <QAtomicInt>
#include <QObject>

class VrnSnBaseGlslContext;

// Owns the shader rebuild requests of the application.
class VrnSnGlslContextManager : public QObject
{
    Q_OBJECT
public:
    static VrnSnGlslContextManager& instance();

    // The node's raw code and what its tokens refer to.
    static VrnSnNodeGlslInfo analyzeContext(VrnSnBaseGlslContext* context);

    // How many rebuilds were asked for since start-up.
    int compileRequestCount() const { return m_requests.loadRelaxed(); }

public slots:
    // Asks for the surface shader to be rebuilt.
    void requestCompileShader();

signals:
    void compileShaderRequested();

private:
    VrnSnGlslContextManager() = default;
    QAtomicInt m_requests;
};
