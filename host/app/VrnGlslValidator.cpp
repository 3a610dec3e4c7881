#include "VrnGlslValidator.h"

#include "VrnShaderBuild.h"
#include "VrnSnNodeKind.h"

#include <glslang/Public/ResourceLimits.h>
#include <glslang/Public/ShaderLang.h>

#include <QMutex>
#include "VrnMutexLocker.h"

#include <memory>
#include <vector>

namespace {
EShLanguage languageOf(unsigned shaderType, bool& known)
{
    known = true;
    switch (shaderType) {
    case VrnShaderType::Fragment: return EShLangFragment;
    case VrnShaderType::TessControl: return EShLangTessControl;
    case VrnShaderType::TessEvaluation: return EShLangTessEvaluation;
    default: known = false; return EShLangVertex;
    }
}

QMutex& glslangMutex()
{
    static QMutex mutex;
    return mutex;
}
} // namespace

bool VrnGlslValidator::validate(const QMap<unsigned, QString>& sources, QString& error)
{
    VrnMutexLocker lock(&glslangMutex());
    static const bool initialised = glslang::InitializeProcess();
    if (!initialised) {
        error = QStringLiteral("the GLSL compiler could not be initialised");
        return false;
    }
    const TBuiltInResource* resources = GetDefaultResources();
    const EShMessages messages = EShMsgDefault;
    std::vector<std::unique_ptr<glslang::TShader>> shaders;
    glslang::TProgram program;
    for (auto it = sources.constBegin(); it != sources.constEnd(); ++it) {
        bool known = false;
        const EShLanguage language = languageOf(it.key(), known);
        const QString stage = VrnShaderBuild::shaderTypeName(it.key());
        if (!known) {
            error = QStringLiteral("%1: not a shader stage the host builds").arg(stage);
            return false;
        }
        const QByteArray text = it.value().toUtf8();
        const char* strings[] = {text.constData()};
        auto shader = std::make_unique<glslang::TShader>(language);
        shader->setStrings(strings, 1);
        if (!shader->parse(resources, 450, ECoreProfile, false, false, messages)) {
            error = QStringLiteral("%1 stage does not compile:\n%2").arg(stage, QString::fromUtf8(shader->getInfoLog()).trimmed());
            return false;
        }
        program.addShader(shader.get());
        shaders.push_back(std::move(shader));
    }
    if (!program.link(messages)) {
        error = QStringLiteral("the stages do not link:\n%1").arg(QString::fromUtf8(program.getInfoLog()).trimmed());
        return false;
    }
    return true;
}
