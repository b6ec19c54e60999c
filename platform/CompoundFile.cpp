// Compound files on libgsf: its OLE2 reader and writer; the atomic replacement through QSaveFile.
#include "platform/CompoundFile.h"

#include <QSaveFile>
#include <QString>

#include <gsf/gsf-infile-msole.h>
#include <gsf/gsf-infile.h>
#include <gsf/gsf-input-stdio.h>
#include <gsf/gsf-outfile-msole.h>
#include <gsf/gsf-outfile.h>
#include <gsf/gsf-output-memory.h>
#include <gsf/gsf-utils.h>

#include <memory>
#include <mutex>

namespace platform {
namespace {

void InitGsf() {
    static std::once_flag once;
    std::call_once(once, [] { gsf_init(); });
}

struct GObjectUnref {
    void operator()(void* object) const {
        if (object)
            g_object_unref(object);
    }
};
template <class T> using GPtr = std::unique_ptr<T, GObjectUnref>;

struct ErrorFree {
    GError* error = nullptr;
    ~ErrorFree() {
        if (error)
            g_error_free(error);
    }
};

GPtr<GsfInfile> OpenContainer(const std::string& path) {
    InitGsf();
    ErrorFree fileError;
    GPtr<GsfInput> input(gsf_input_stdio_new(path.c_str(), &fileError.error));
    if (!input)
        return nullptr;
    ErrorFree containerError;
    return GPtr<GsfInfile>(gsf_infile_msole_new(input.get(), &containerError.error));
}

} // namespace

bool CanOpenCompoundFile(const std::string& path) {
    return OpenContainer(path) != nullptr;
}

CompoundResult ReadCompoundStream(const std::string& path, std::string_view name,
                                  std::vector<std::uint8_t>& out) {
    out.clear();
    GPtr<GsfInfile> container = OpenContainer(path);
    if (!container)
        return CompoundResult::Failed;
    GPtr<GsfInput> stream(gsf_infile_child_by_name(container.get(), std::string(name).c_str()));
    if (!stream)
        return CompoundResult::Failed;
    const gsf_off_t size = gsf_input_size(stream.get());
    if (size < 0)
        return CompoundResult::Failed;
    if (static_cast<std::uint64_t>(size) >> 32)
        return CompoundResult::TooLarge;
    if (size == 0)
        return CompoundResult::Ok;
    out.resize(static_cast<std::size_t>(size));
    if (!gsf_input_read(stream.get(), out.size(), out.data())) {
        out.clear();
        return CompoundResult::Failed;
    }
    return CompoundResult::Ok;
}

bool WriteCompoundStream(const std::string& path, std::string_view name,
                         std::span<const std::uint8_t> bytes) {
    InitGsf();
    GPtr<GsfOutput> memory(gsf_output_memory_new());
    {
        GPtr<GsfOutfile> container(gsf_outfile_msole_new(memory.get()));
        if (!container)
            return false;
        GPtr<GsfOutput> stream(gsf_outfile_new_child(container.get(), std::string(name).c_str(), FALSE));
        if (!stream)
            return false;
        const bool written = bytes.empty() || gsf_output_write(stream.get(), bytes.size(), bytes.data());
        if (!gsf_output_close(stream.get()) || !written)
            return false;
        if (!gsf_output_close(GSF_OUTPUT(container.get())))
            return false;
    }
    const guint8* data = gsf_output_memory_get_bytes(GSF_OUTPUT_MEMORY(memory.get()));
    const gsf_off_t size = gsf_output_size(memory.get());
    if (!data || size <= 0)
        return false;
    QSaveFile file(QString::fromStdString(path));
    if (!file.open(QIODevice::WriteOnly))
        return false;
    if (file.write(reinterpret_cast<const char*>(data), size) != size) {
        file.cancelWriting();
        return false;
    }
    return file.commit(); // flushes to disk, then renames over the old file
}

} // namespace platform
