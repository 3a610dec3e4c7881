#include "VrnRenderer.h"

#include "VrnGlContext.h"

#include "VrnAttributeValues.h"
#include "VrnParameterTypes.h"
#include "VrnProjectManager.h"
#include "VrnShaderNetwork.h"
#include "VrnShaderUniformBlock.h"
#include "VrnSnBaseGlslContext.h"
#include "VrnSurfaceShader.h"

#define GL_GLEXT_PROTOTYPES 1
#include <GL/glcorearb.h>

#include <QCryptographicHash>
#include <QHash>
#include <QMatrix4x4>
#include <QRegularExpression>
#include <QVector>

#include <algorithm>
#include <cstring>
#include <functional>
#include <vector>

namespace {
// A full-screen quad; the fragment stage turns the screen position into the sphere.
const char* const kVertexSource =
    "#version 450 core\n"
    "out vec2 vrn_ScreenPosition;\n"
    "void main()\n"
    "{\n"
    "    vec2 corners[4] = vec2[](vec2(-1.0, -1.0), vec2(1.0, -1.0), vec2(-1.0, 1.0), vec2(1.0, 1.0));\n"
    "    vrn_ScreenPosition = corners[gl_VertexID];\n"
    "    gl_Position = vec4(corners[gl_VertexID], 0.0, 1.0);\n"
    "}\n";

// GL objects of one picture, released whatever path the render takes.
struct GlObjects
{
    std::vector<GLuint> shaders, textures, buffers, framebuffers, renderbuffers, vertexArrays;
    GLuint program = 0; // owned by the program cache once linked
    ~GlObjects()
    {
        for (GLuint s : shaders) glDeleteShader(s);
        if (program) glDeleteProgram(program);
        if (!textures.empty()) glDeleteTextures(GLsizei(textures.size()), textures.data());
        if (!buffers.empty()) glDeleteBuffers(GLsizei(buffers.size()), buffers.data());
        if (!framebuffers.empty()) glDeleteFramebuffers(GLsizei(framebuffers.size()), framebuffers.data());
        if (!renderbuffers.empty()) glDeleteRenderbuffers(GLsizei(renderbuffers.size()), renderbuffers.data());
        if (!vertexArrays.empty()) glDeleteVertexArrays(GLsizei(vertexArrays.size()), vertexArrays.data());
    }
};

bool compileStage(GlObjects& gl, GLenum type, const QByteArray& source, const char* stageName, QString& error)
{
    const GLuint shader = glCreateShader(type);
    gl.shaders.push_back(shader);
    const char* text = source.constData();
    glShaderSource(shader, 1, &text, nullptr);
    glCompileShader(shader);
    GLint ok = 0;
    glGetShaderiv(shader, GL_COMPILE_STATUS, &ok);
    if (ok)
        return true;
    GLint length = 0;
    glGetShaderiv(shader, GL_INFO_LOG_LENGTH, &length);
    QByteArray log(std::max(length, 1), '\0');
    glGetShaderInfoLog(shader, length, nullptr, log.data());
    error = QStringLiteral("the %1 stage does not compile:\n%2").arg(QString::fromLatin1(stageName), QString::fromUtf8(log.constData()).trimmed());
    return false;
}

// Paint channels of the current tile as layers of one texture array.
struct ChannelLayers
{
    QHash<QString, int> layerByName;
    int uvTile = 1001;

    // (layer, UV tile, 1) for a channel the texture holds, (-1, tile, 0) otherwise.
    QVector<int> triple(const QString& name) const
    {
        const int layer = layerByName.value(name, -1);
        return {layer, uvTile, layer >= 0 ? 1 : 0};
    }
};

bool uploadChannels(GlObjects& gl, VrnShadingContext* shading, ChannelLayers& layers, QString& error)
{
    layers.uvTile = shading ? shading->getCurrentUvChannel() : 1001;
    QVector<VrnChannel*> channels;
    QHash<VrnChannel*, int> layerOf; // a channel may be named twice (cache aliases)
    int width = 1, height = 1;
    if (shading) {
        for (const QString& name : shading->channelNames(layers.uvTile)) {
            VrnChannel* channel = shading->channel(layers.uvTile, name);
            if (!channel || channel->width() <= 0 || channel->height() <= 0)
                continue;
            int layer = layerOf.value(channel, -1);
            if (layer < 0) {
                layer = channels.size();
                layerOf.insert(channel, layer);
                channels.append(channel);
                width = std::max(width, channel->width());
                height = std::max(height, channel->height());
            }
            layers.layerByName.insert(name, layer);
        }
    }
    // Every layer has the largest channel's size; smaller channels are
    // repeated texel by texel (nearest), so a checker keeps its cells.
    const int depth = std::max(1, int(channels.size()));
    // Checked before anything is made: small channels beside a large one take the large one's size.
    GLint maximumLayers = 0;
    glGetIntegerv(GL_MAX_ARRAY_TEXTURE_LAYERS, &maximumLayers);
    if (qint64(width) * height * depth > VrnRenderer::kMaximumChannelTexels || depth > maximumLayers) {
        error = QStringLiteral("the %1 channels of UV tile %2 would take %3 x %4 texels each as one texture array, "
                               "more than %5 texels or %6 layers together")
                    .arg(depth).arg(layers.uvTile).arg(width).arg(height).arg(VrnRenderer::kMaximumChannelTexels).arg(maximumLayers);
        return false;
    }
    QVector<float> texels(width * height * 4 * depth, 0.0f);
    for (int layer = 0; layer < channels.size(); ++layer) {
        const VrnChannel* c = channels.at(layer);
        const QVector<float>& src = c->pixels();
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x) {
                const int sx = x * c->width() / width, sy = y * c->height() / height;
                const int from = (sy * c->width() + sx) * 4;
                const int to = ((layer * height + y) * width + x) * 4;
                if (from + 3 < src.size())
                    std::copy(src.constBegin() + from, src.constBegin() + from + 4, texels.begin() + to);
            }
    }
    GLuint texture = 0;
    glGenTextures(1, &texture);
    gl.textures.push_back(texture);
    glActiveTexture(GL_TEXTURE0);
    glBindTexture(GL_TEXTURE_2D_ARRAY, texture);
    glTexImage3D(GL_TEXTURE_2D_ARRAY, 0, GL_RGBA32F, width, height, depth, 0, GL_RGBA, GL_FLOAT, texels.constData());
    glTexParameteri(GL_TEXTURE_2D_ARRAY, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D_ARRAY, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D_ARRAY, GL_TEXTURE_WRAP_S, GL_REPEAT);
    glTexParameteri(GL_TEXTURE_2D_ARRAY, GL_TEXTURE_WRAP_T, GL_REPEAT);
    return true;
}

// The channel a channel-typed value names.
QString channelName(const QVariant& value)
{
    const VrnAttributeMetaTypes& t = vrnAttributeMetaTypes();
    if (value.userType() == t.channelId) {
        const VrnChannelId id = value.value<VrnChannelId>();
        if (id.isCurrentChannel()) {
            VrnChannel* current = VrnProjectManager::instance().currentChannel();
            return current ? current->name() : QString();
        }
        return id.channelName();
    }
    return value.toString();
}

QVector<float> floatsOf(const QVariant& value)
{
    const VrnParameterType* type = VrnParameterTypes::ofValue(value);
    if (type && type->floats)
        return type->floats(value);
    bool ok = false;
    const float f = value.toFloat(&ok);
    return ok ? QVector<float>{f} : QVector<float>{};
}

int intOf(const QVariant& value)
{
    const VrnParameterType* type = VrnParameterTypes::ofValue(value);
    return type && type->integer ? type->integer(value) : value.toInt();
}

// The raw words (floats or ints) of a GL-typed value; empty when the value does not fit the type.
QVector<quint32> encode(GLenum glType, const QVariant& value, const QString& uniformName, const ChannelLayers& layers)
{
    QVector<quint32> words;
    auto pushFloats = [&words](QVector<float> floats, int count) {
        floats.resize(count); // missing components read as 0
        for (float f : floats) {
            quint32 w;
            std::memcpy(&w, &f, 4);
            words.append(w);
        }
    };
    switch (glType) {
    case GL_FLOAT: pushFloats(floatsOf(value), 1); break;
    case GL_FLOAT_VEC2: pushFloats(floatsOf(value), 2); break;
    case GL_FLOAT_VEC3: pushFloats(floatsOf(value), 3); break;
    case GL_FLOAT_VEC4: pushFloats(floatsOf(value), 4); break;
    case GL_FLOAT_MAT4: {
        QVector<float> m = floatsOf(value);
        if (m.size() < 16)
            m = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
        m.resize(16);
        if (uniformName.endsWith(QLatin1String("_Inverse"))) {
            const QMatrix4x4 matrix = QMatrix4x4(m.constData()).transposed().inverted();
            m = QVector<float>(matrix.constData(), matrix.constData() + 16);
        }
        pushFloats(m, 16);
        break;
    }
    case GL_INT:
    case GL_BOOL:
    case GL_UNSIGNED_INT: words.append(quint32(intOf(value))); break;
    case GL_INT_VEC3:
        for (int v : layers.triple(channelName(value)))
            words.append(quint32(v));
        break;
    case GL_UNSIGNED_INT_VEC2:
    case GL_UNSIGNED_INT_VEC4: {
        const int count = glType == GL_UNSIGNED_INT_VEC2 ? 2 : 4;
        QStringList names;
        if (value.userType() == vrnAttributeMetaTypes().imageList)
            names = value.value<VrnImageList>().channels();
        for (int i = 0; i < count; ++i)
            words.append(quint32(std::max(0, layers.layerByName.value(names.value(i), 0))));
        break;
    }
    default: break;
    }
    return words;
}

// Every uniform the contexts name, with the value they give it.
QHash<QString, QVariant> namedUniformValues(VrnShaderNetwork* network)
{
    QHash<QString, QVariant> values;
    const int channelIdType = vrnAttributeMetaTypes().channelId;
    for (VrnSnBaseNode* node : network->nodes()) {
        VrnSnBaseGlslContext* context = node->context();
        if (!context || node->kind().alias)
            continue;
        for (const VrnCustomAttribute& parameter : node->kind().parameters) {
            const QString name = context->uniformName(parameter.name(), node);
            const QVariant value = context->uniformValue(node->userAttribute(parameter.name()), node);
            values.insert(name, value);
            values.insert(name + QStringLiteral("_Inverse"), value);
        }
        // Cache channels are declared by the node's context under "<attribute>_<id>".
        for (const QString& attribute : node->userAttributeNames()) {
            const QVariant& value = node->userAttributeValue(attribute);
            if (attribute.startsWith(QLatin1String("Cache_")) && value.userType() == channelIdType)
                values.insert(QStringLiteral("%1_%2.ChannelValues").arg(attribute, node->id()), value);
        }
        const QHash<QString, QVariant> set = context->uniformValues();
        for (auto it = set.constBegin(); it != set.constEnd(); ++it)
            values.insert(it.key(), it.value());
    }
    return values;
}

struct ActiveUniform
{
    QString name;
    GLenum type = 0;
    GLint location = -1, blockIndex = -1, arraySize = 1, offset = 0, arrayStride = 0, matrixStride = 0;
};

QVector<ActiveUniform> activeUniforms(GLuint program)
{
    GLint count = 0;
    glGetProgramInterfaceiv(program, GL_UNIFORM, GL_ACTIVE_RESOURCES, &count);
    QVector<ActiveUniform> uniforms;
    const GLenum properties[] = {GL_TYPE, GL_LOCATION, GL_BLOCK_INDEX, GL_ARRAY_SIZE, GL_OFFSET, GL_ARRAY_STRIDE, GL_MATRIX_STRIDE};
    for (GLint i = 0; i < count; ++i) {
        GLint v[7] = {};
        glGetProgramResourceiv(program, GL_UNIFORM, GLuint(i), 7, properties, 7, nullptr, v);
        char name[512] = {};
        glGetProgramResourceName(program, GL_UNIFORM, GLuint(i), sizeof(name), nullptr, name);
        ActiveUniform u;
        u.name = QString::fromLatin1(name);
        u.type = GLenum(v[0]);
        u.location = v[1];
        u.blockIndex = v[2];
        u.arraySize = v[3];
        u.offset = v[4];
        u.arrayStride = v[5];
        u.matrixStride = v[6];
        uniforms.append(u);
    }
    return uniforms;
}

void setDefaultBlockUniform(GLuint program, const ActiveUniform& u, const QVector<quint32>& words)
{
    if (words.isEmpty() || u.location < 0)
        return;
    const GLfloat* f = reinterpret_cast<const GLfloat*>(words.constData());
    const GLint* i = reinterpret_cast<const GLint*>(words.constData());
    switch (u.type) {
    case GL_FLOAT: glProgramUniform1fv(program, u.location, 1, f); break;
    case GL_FLOAT_VEC2: glProgramUniform2fv(program, u.location, 1, f); break;
    case GL_FLOAT_VEC3: glProgramUniform3fv(program, u.location, 1, f); break;
    case GL_FLOAT_VEC4: glProgramUniform4fv(program, u.location, 1, f); break;
    case GL_FLOAT_MAT4: glProgramUniformMatrix4fv(program, u.location, 1, GL_FALSE, f); break;
    case GL_INT:
    case GL_BOOL: glProgramUniform1iv(program, u.location, 1, i); break;
    case GL_UNSIGNED_INT: glProgramUniform1uiv(program, u.location, 1, reinterpret_cast<const GLuint*>(i)); break;
    case GL_INT_VEC3: glProgramUniform3iv(program, u.location, 1, i); break;
    case GL_UNSIGNED_INT_VEC2: glProgramUniform2uiv(program, u.location, 1, reinterpret_cast<const GLuint*>(i)); break;
    case GL_UNSIGNED_INT_VEC4: glProgramUniform4uiv(program, u.location, 1, reinterpret_cast<const GLuint*>(i)); break;
    default: break;
    }
}

bool isSampler(GLenum type)
{
    switch (type) {
    case GL_SAMPLER_1D: case GL_SAMPLER_2D: case GL_SAMPLER_3D: case GL_SAMPLER_CUBE:
    case GL_SAMPLER_2D_ARRAY: case GL_SAMPLER_1D_ARRAY: return true;
    default: return false;
    }
}

// Samplers other than the channel array get a unit of their own with a 1x1 black texture.
void bindSamplers(GlObjects& gl, GLuint program, const QVector<ActiveUniform>& uniforms)
{
    GLint unit = 1;
    for (const ActiveUniform& u : uniforms) {
        if (!isSampler(u.type) || u.location < 0)
            continue;
        if (u.type == GL_SAMPLER_2D_ARRAY) {
            glProgramUniform1i(program, u.location, 0);
            continue;
        }
        GLuint texture = 0;
        glGenTextures(1, &texture);
        gl.textures.push_back(texture);
        glActiveTexture(GLenum(GL_TEXTURE0 + unit));
        const float black[4] = {0, 0, 0, 0};
        switch (u.type) {
        case GL_SAMPLER_1D:
            glBindTexture(GL_TEXTURE_1D, texture);
            glTexImage1D(GL_TEXTURE_1D, 0, GL_RGBA32F, 1, 0, GL_RGBA, GL_FLOAT, black);
            glTexParameteri(GL_TEXTURE_1D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
            break;
        case GL_SAMPLER_CUBE:
            glBindTexture(GL_TEXTURE_CUBE_MAP, texture);
            for (int face = 0; face < 6; ++face)
                glTexImage2D(GLenum(GL_TEXTURE_CUBE_MAP_POSITIVE_X + face), 0, GL_RGBA32F, 1, 1, 0, GL_RGBA, GL_FLOAT, black);
            glTexParameteri(GL_TEXTURE_CUBE_MAP, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
            break;
        default:
            glBindTexture(GL_TEXTURE_2D, texture);
            glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA32F, 1, 1, 0, GL_RGBA, GL_FLOAT, black);
            glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
            break;
        }
        glProgramUniform1i(program, u.location, unit++);
    }
    glActiveTexture(GL_TEXTURE0);
}

// The array of a surface-shader block that a block member holds, by the
// member's name: <block>_u_IntUniforms0..2, <block>_u_FloatUniforms, <block>_u_Vec4Uniforms.
bool blockArrayWords(const VrnShaderUniformBlock& block, const QString& member, const ChannelLayers& layers,
                     std::function<void(int, const QVector<quint32>&)> write)
{
    static const QRegularExpression pattern(QStringLiteral("_u_(IntUniforms([0-2])|FloatUniforms|Vec4Uniforms)\\[0\\]$"));
    const QRegularExpressionMatch m = pattern.match(member);
    if (!m.hasMatch())
        return false;
    if (m.captured(1).startsWith(QLatin1String("Int"))) {
        const int which = m.captured(2).isEmpty() ? 0 : m.captured(2).toInt();
        QVector<int> ints = block.intArray(which);
        // Channel references become the texture layer triple the shader reads
        // ("Current Channel" the project's current channel).
        for (auto it = block.channelReferences().constBegin(); it != block.channelReferences().constEnd(); ++it) {
            if (it.key().first != which)
                continue;
            const QVector<int> triple = layers.triple(channelName(QVariant::fromValue(VrnChannelId(it.value()))));
            for (int k = 0; k < 3 && it.key().second + k < ints.size(); ++k)
                ints[it.key().second + k] = triple.at(k);
        }
        // Image lists become four layers, as their uvec4 uniforms do.
        for (auto it = block.imageListReferences().constBegin(); it != block.imageListReferences().constEnd(); ++it) {
            if (it.key().first != which)
                continue;
            const QVector<quint32> four = encode(GL_UNSIGNED_INT_VEC4, QVariant::fromValue(VrnImageList(it.value())), QString(), layers);
            for (int k = 0; k < four.size() && it.key().second + k < ints.size(); ++k)
                ints[it.key().second + k] = int(four.at(k));
        }
        for (int i = 0; i < ints.size(); ++i)
            write(i, {quint32(ints.at(i))});
    } else if (m.captured(1) == QLatin1String("FloatUniforms")) {
        const QVector<float>& floats = block.floatArray();
        for (int i = 0; i < floats.size(); ++i) {
            quint32 w;
            std::memcpy(&w, &floats.at(i), 4);
            write(i, {w});
        }
    } else {
        const QVector<Wm3::Vector4<float>>& vec4s = block.vec4Array();
        QVector<QVector<quint32>> vec4Words;
        for (int i = 0; i < vec4s.size(); ++i) {
            const float f[4] = {vec4s.at(i).x, vec4s.at(i).y, vec4s.at(i).z, vec4s.at(i).w};
            QVector<quint32> w(4);
            std::memcpy(w.data(), f, 16);
            vec4Words.append(w);
        }
        // Locator lists as their own uniforms hold them: a point (w 0), or a
        // matrix's columns followed by its inverse's.
        for (auto it = block.locatorLists().constBegin(); it != block.locatorLists().constEnd(); ++it) {
            const QVariant value = QVariant::fromValue(it.value());
            QVector<quint32> words;
            if (it.value().glslType() == QLatin1String("mat4x4"))
                words = encode(GL_FLOAT_MAT4, value, QString(), layers) + encode(GL_FLOAT_MAT4, value, QStringLiteral("_Inverse"), layers);
            else
                words = encode(GL_FLOAT_VEC3, value, QString(), layers) + QVector<quint32>{0u}; // 0u: the bits of 0.0f
            for (int k = 0; k * 4 + 3 < words.size() && it.key() + k < vec4Words.size(); ++k)
                vec4Words[it.key() + k] = words.mid(k * 4, 4);
        }
        for (int i = 0; i < vec4Words.size(); ++i)
            write(i, vec4Words.at(i));
    }
    return true;
}

// Fills and binds a buffer for every uniform block of the program: the
// surface shader's blocks from their arrays, any other block member from the
// value its context gives it.
void uploadBlocks(GlObjects& gl, GLuint program, const QVector<ActiveUniform>& uniforms, VrnSurfaceShader* surface,
                  const QHash<QString, QVariant>& values, const ChannelLayers& layers)
{
    GLint blockCount = 0;
    glGetProgramInterfaceiv(program, GL_UNIFORM_BLOCK, GL_ACTIVE_RESOURCES, &blockCount);
    for (GLint b = 0; b < blockCount; ++b) {
        char name[512] = {};
        glGetProgramResourceName(program, GL_UNIFORM_BLOCK, GLuint(b), sizeof(name), nullptr, name);
        const GLenum sizeProperty = GL_BUFFER_DATA_SIZE;
        GLint size = 0;
        glGetProgramResourceiv(program, GL_UNIFORM_BLOCK, GLuint(b), 1, &sizeProperty, 1, nullptr, &size);
        QByteArray data(std::max(size, 16), '\0');
        const QSharedPointer<VrnShaderUniformBlock> block = surface ? surface->shaderUniformBlock(QString::fromLatin1(name)) : nullptr;
        for (const ActiveUniform& u : uniforms) {
            if (u.blockIndex != b)
                continue;
            auto write = [&](int element, const QVector<quint32>& words) {
                if (element >= u.arraySize)
                    return;
                const int at = u.offset + element * u.arrayStride;
                const int bytes = int(words.size()) * 4;
                if (at >= 0 && at + bytes <= data.size())
                    std::memcpy(data.data() + at, words.constData(), size_t(bytes));
            };
            if (block && blockArrayWords(*block, u.name, layers, write))
                continue;
            const auto found = values.constFind(u.name);
            if (found == values.constEnd())
                continue;
            const QVector<quint32> words = encode(u.type, found.value(), u.name, layers);
            if (u.type == GL_FLOAT_MAT4 && u.matrixStride > 0) {
                for (int column = 0; column < 4 && words.size() == 16; ++column)
                    std::memcpy(data.data() + u.offset + column * u.matrixStride, words.constData() + column * 4, 16);
            } else {
                write(0, words);
            }
        }
        GLuint buffer = 0;
        glGenBuffers(1, &buffer);
        gl.buffers.push_back(buffer);
        glBindBuffer(GL_UNIFORM_BUFFER, buffer);
        glBufferData(GL_UNIFORM_BUFFER, data.size(), data.constData(), GL_STATIC_DRAW);
        glUniformBlockBinding(program, GLuint(b), GLuint(b));
        glBindBufferBase(GL_UNIFORM_BUFFER, GLuint(b), buffer);
    }
}
} // namespace

namespace {
// Programs by the SHA-1 of their fragment source; the oldest goes when the cache is full.
struct ProgramCache
{
    static constexpr int kCapacity = 64;
    QHash<QByteArray, GLuint> programs;
    QList<QByteArray> order;
    int compiles = 0;
};

ProgramCache& programCache()
{
    static ProgramCache cache;
    return cache;
}

bool linkedProgram(const QString& fragmentSource, GLuint& program, QString& error)
{
    ProgramCache& cache = programCache();
    const QByteArray source = fragmentSource.toUtf8();
    const QByteArray key = QCryptographicHash::hash(source, QCryptographicHash::Sha1);
    const auto found = cache.programs.constFind(key);
    if (found != cache.programs.constEnd()) {
        program = found.value();
        return true;
    }
    GlObjects gl;
    ++cache.compiles;
    if (!compileStage(gl, GL_VERTEX_SHADER, kVertexSource, "vertex", error) || !compileStage(gl, GL_FRAGMENT_SHADER, source, "fragment", error))
        return false;
    gl.program = glCreateProgram();
    for (GLuint s : gl.shaders)
        glAttachShader(gl.program, s);
    glLinkProgram(gl.program);
    GLint linked = 0;
    glGetProgramiv(gl.program, GL_LINK_STATUS, &linked);
    if (!linked) {
        GLint length = 0;
        glGetProgramiv(gl.program, GL_INFO_LOG_LENGTH, &length);
        QByteArray log(std::max(length, 1), '\0');
        glGetProgramInfoLog(gl.program, length, nullptr, log.data());
        error = QStringLiteral("the stages do not link:\n%1").arg(QString::fromUtf8(log.constData()).trimmed());
        return false;
    }
    if (cache.order.size() >= ProgramCache::kCapacity)
        glDeleteProgram(cache.programs.take(cache.order.takeFirst()));
    program = gl.program;
    gl.program = 0; // kept by the cache
    cache.programs.insert(key, program);
    cache.order.append(key);
    return true;
}
} // namespace

int VrnRenderer::compileCount()
{
    return programCache().compiles;
}

bool VrnRenderer::render(const VrnRenderJob& job, QImage& picture, QString& error)
{
    if (!job.network) {
        error = QStringLiteral("nothing to render: no network");
        return false;
    }
    if (job.size < 1 || job.size > kMaximumSize) {
        error = QStringLiteral("picture size %1 is outside 1 to %2").arg(job.size).arg(kMaximumSize);
        return false;
    }
    if (!VrnGlContext::makeCurrent(error))
        return false;
    while (glGetError() != GL_NO_ERROR) {
    }
    GlObjects gl;
    GLuint program = 0;
    if (!linkedProgram(job.fragmentSource, program, error))
        return false;

    ChannelLayers layers;
    if (!uploadChannels(gl, job.network->shadingContext(), layers, error))
        return false;
    const QVector<ActiveUniform> uniforms = activeUniforms(program);
    const QHash<QString, QVariant> values = namedUniformValues(job.network);
    for (const ActiveUniform& u : uniforms) {
        if (u.blockIndex >= 0 || isSampler(u.type))
            continue;
        const auto found = values.constFind(u.name);
        if (found != values.constEnd())
            setDefaultBlockUniform(program, u, encode(u.type, found.value(), u.name, layers));
    }
    bindSamplers(gl, program, uniforms);
    uploadBlocks(gl, program, uniforms, job.surfaceShader, values, layers);

    GLuint framebuffer = 0, colour = 0, vertexArray = 0;
    glGenFramebuffers(1, &framebuffer);
    gl.framebuffers.push_back(framebuffer);
    glGenRenderbuffers(1, &colour);
    gl.renderbuffers.push_back(colour);
    glBindRenderbuffer(GL_RENDERBUFFER, colour);
    glRenderbufferStorage(GL_RENDERBUFFER, GL_RGBA8, job.size, job.size);
    glBindFramebuffer(GL_FRAMEBUFFER, framebuffer);
    glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER, colour);
    if (glCheckFramebufferStatus(GL_FRAMEBUFFER) != GL_FRAMEBUFFER_COMPLETE) {
        error = QStringLiteral("the picture's framebuffer is incomplete");
        return false;
    }
    glGenVertexArrays(1, &vertexArray);
    gl.vertexArrays.push_back(vertexArray);
    glBindVertexArray(vertexArray);
    glViewport(0, 0, job.size, job.size);
    glDisable(GL_BLEND);
    glClearColor(kBackground[0] / 255.0f, kBackground[1] / 255.0f, kBackground[2] / 255.0f, kBackground[3] / 255.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    glUseProgram(program);
    glDrawArrays(GL_TRIANGLE_STRIP, 0, 4);

    QImage image(job.size, job.size, QImage::Format_RGBA8888);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, job.size, job.size, GL_RGBA, GL_UNSIGNED_BYTE, image.bits());
    glUseProgram(0);
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    const GLenum glError = glGetError();
    if (glError != GL_NO_ERROR) {
        error = QStringLiteral("OpenGL reported error 0x%1 while drawing").arg(glError, 4, 16, QLatin1Char('0'));
        return false;
    }
    // GL's first row is the bottom one.
    picture = image.mirrored(false, true);
    return true;
}
