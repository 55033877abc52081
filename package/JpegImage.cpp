#include "package/JpegImage.h"

#include <csetjmp>
#include <cstdio>
// libjpeg's header needs size_t and FILE declared before it.
#include <jpeglib.h>

namespace qe {
namespace {

// What libjpeg may allocate for one picture: the coefficients of a progressive picture
// at the pixel bound take 6 MiB.
constexpr long MaxDecoderMemory = 24L * 1024 * 1024;

struct TDecodeContext {
    jpeg_error_mgr Errors; // first, so that the decoder's error manager leads here
    jpeg_progress_mgr Progress;
    std::jmp_buf Escape;
    char Message[JMSG_LENGTH_MAX];
    bool OverBounds;
    TRgbPicture* Target; // null: check the data only
};

void OnError(j_common_ptr Info)
{
    auto* Context = reinterpret_cast<TDecodeContext*>(Info->err);
    (*Info->err->format_message)(Info, Context->Message);
    std::longjmp(Context->Escape, 1);
}

void OnMessage(j_common_ptr) {}

[[noreturn]] void RefuseOverBounds(TDecodeContext& Context)
{
    Context.OverBounds = true;
    std::longjmp(Context.Escape, 1);
}

// Called by the decoder between rows of every scan: a file of many tiny scans over a
// large picture would otherwise make it read the whole picture once for each scan.
void OnProgress(j_common_ptr Info)
{
    auto* Context = reinterpret_cast<TDecodeContext*>(Info->err);
    const auto* Decompress = reinterpret_cast<j_decompress_ptr>(Info);
    if (Decompress->input_scan_number > MaxJpegScans) {
        std::snprintf(Context->Message, sizeof Context->Message, "The picture has more than %d scans", MaxJpegScans);
        RefuseOverBounds(*Context);
    }
}

// Decodes with libjpeg. Kept free of C++ objects with destructors, since a decoder
// error leaves it through longjmp. Returns false with the decoder's message on failure.
bool DecodeJpeg(const std::string& Bytes, TDecodeContext& Context, int& Width, int& Height)
{
    jpeg_decompress_struct Info;
    Info.err = jpeg_std_error(&Context.Errors);
    Context.Errors.error_exit = OnError;
    Context.Errors.output_message = OnMessage;
    if (setjmp(Context.Escape) != 0) {
        jpeg_destroy_decompress(&Info);
        return false;
    }
    jpeg_create_decompress(&Info);
    Info.mem->max_memory_to_use = MaxDecoderMemory;
    Context.Progress.progress_monitor = OnProgress;
    Info.progress = &Context.Progress;
    jpeg_mem_src(&Info, reinterpret_cast<const unsigned char*>(Bytes.data()), static_cast<unsigned long>(Bytes.size()));
    jpeg_read_header(&Info, TRUE);
    if (static_cast<uint64_t>(Info.image_width) * Info.image_height > MaxJpegPixels) {
        std::snprintf(Context.Message, sizeof Context.Message, "The picture of %ux%u pixels is too large",
                      static_cast<unsigned>(Info.image_width), static_cast<unsigned>(Info.image_height));
        RefuseOverBounds(Context);
    }
    Info.out_color_space = JCS_RGB;
    jpeg_start_decompress(&Info);
    Width = static_cast<int>(Info.output_width);
    Height = static_cast<int>(Info.output_height);
    const size_t Stride = static_cast<size_t>(Width) * 3;
    if (Context.Target != nullptr) {
        Context.Target->Width = Width;
        Context.Target->Height = Height;
        Context.Target->Pixels.assign(Stride * static_cast<size_t>(Height), 0);
    }
    JSAMPARRAY Scratch = (*Info.mem->alloc_sarray)(reinterpret_cast<j_common_ptr>(&Info), JPOOL_IMAGE,
                                                   static_cast<JDIMENSION>(Stride), 1);
    while (Info.output_scanline < Info.output_height) {
        const JDIMENSION Row = Info.output_scanline;
        JSAMPROW Out = Context.Target != nullptr ? Context.Target->Pixels.data() + Stride * Row : Scratch[0];
        jpeg_read_scanlines(&Info, &Out, 1);
    }
    jpeg_finish_decompress(&Info);
    jpeg_destroy_decompress(&Info);
    return true;
}

void DecodeOrRaise(const std::string& Bytes, TRgbPicture* Target, int& Width, int& Height)
{
    TDecodeContext Context{};
    Context.Target = Target;
    if (DecodeJpeg(Bytes, Context, Width, Height))
        return;
    if (Context.OverBounds)
        throw EJpegBoundsError(Context.Message);
    throw EJpegError(Context.Message);
}

} // namespace

void TJpegImage::LoadFromStream(TStream& Stream)
{
    const int64_t Left = Stream.GetSize() - Stream.Position();
    std::string Bytes(static_cast<size_t>(std::max<int64_t>(Left, 0)), '\0');
    Bytes.resize(static_cast<size_t>(std::max(Stream.Read(Bytes.data(), static_cast<int32_t>(Bytes.size())), 0)));
    LoadFromBytes(std::move(Bytes));
}

void TJpegImage::LoadFromBytes(std::string Bytes)
{
    int Width = 0;
    int Height = 0;
    if (!Bytes.empty())
        DecodeOrRaise(Bytes, nullptr, Width, Height);
    FBytes = std::move(Bytes);
    FWidth = Width;
    FHeight = Height;
}

void TJpegImage::SaveToStream(TStream& Stream) const
{
    Stream.WriteString(FBytes);
}

TRgbPicture TJpegImage::Decode() const
{
    TRgbPicture Picture;
    if (!Empty())
        DecodeOrRaise(FBytes, &Picture, Picture.Width, Picture.Height);
    return Picture;
}

} // namespace qe
