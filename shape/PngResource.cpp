#include "shape/PngResource.h"

// After <windows.h>: defines the imaging component's identifiers that this file uses.
#include <initguid.h>
#include <wincodec.h>

#include "base/SystemLibrary.h"
#include "shape/ComPtr.h"

namespace perchette {

namespace {

// Larger than any picture of the program, small enough that the pixel count fits in 32 bits.
constexpr UINT kLargestSide = 4096;

using CreateFactoryFunction = HRESULT(WINAPI*)(UINT version, IWICImagingFactory** factory);
using ConvertFunction = HRESULT(WINAPI*)(REFWICPixelFormatGUID format, IWICBitmapSource* source,
                                         IWICBitmapSource** converted);
using CoInitializeExFunction = HRESULT(WINAPI*)(void* reserved, DWORD model);
using CoUninitializeFunction = void(WINAPI*)();

// COM on this thread while the imaging component works: it is a COM component, and only of
// Wine's copy is it known that it does without. Like the component, ole32 is loaded only here, so
// that a start at the design resolution imports neither.
class ScopedCom {
 public:
  ScopedCom() : ole_(LoadSystemLibrary(L"ole32.dll")) {
    if (!ole_) return;
    const auto initialize = Export<CoInitializeExFunction>(ole_.get(), "CoInitializeEx");
    uninitialize_ = Export<CoUninitializeFunction>(ole_.get(), "CoUninitialize");
    // A thread already in another apartment (RPC_E_CHANGED_MODE) is left as it is.
    if (initialize == nullptr || uninitialize_ == nullptr ||
        FAILED(initialize(nullptr, COINIT_APARTMENTTHREADED))) {
      uninitialize_ = nullptr;
    }
  }
  ScopedCom(const ScopedCom&) = delete;
  ScopedCom& operator=(const ScopedCom&) = delete;
  ~ScopedCom() {
    if (uninitialize_ != nullptr) uninitialize_();
  }

 private:
  UniqueLibrary ole_;
  CoUninitializeFunction uninitialize_ = nullptr;
};

}  // namespace

UniqueBitmap LoadPngResource(HINSTANCE instance, int resourceId) {
  const HRSRC found = FindResourceW(instance, MAKEINTRESOURCEW(resourceId), RT_RCDATA);
  const HGLOBAL loaded = found != nullptr ? LoadResource(instance, found) : nullptr;
  auto* const bytes = static_cast<BYTE*>(loaded != nullptr ? LockResource(loaded) : nullptr);
  const DWORD size = found != nullptr ? SizeofResource(instance, found) : 0;
  if (bytes == nullptr || size == 0) return {};

  // Declared in this order so that every object is released before COM ends and the component
  // is unloaded.
  const UniqueLibrary codecs(LoadSystemLibrary(L"windowscodecs.dll"));
  if (!codecs) return {};
  const auto createFactory =
      Export<CreateFactoryFunction>(codecs.get(), "WICCreateImagingFactory_Proxy");
  const auto convert = Export<ConvertFunction>(codecs.get(), "WICConvertBitmapSource");
  if (createFactory == nullptr || convert == nullptr) return {};
  const ScopedCom com;
  ComPtr<IWICImagingFactory> factory;
  ComPtr<IWICStream> stream;
  ComPtr<IWICBitmapDecoder> decoder;
  ComPtr<IWICBitmapFrameDecode> frame;
  ComPtr<IWICBitmapSource> pixels;
  UINT width = 0;
  UINT height = 0;
  // The stream only reads the resource, which stays mapped as long as the module.
  if (FAILED(createFactory(WINCODEC_SDK_VERSION, factory.put())) ||
      FAILED(factory->CreateStream(stream.put())) ||
      FAILED(stream->InitializeFromMemory(bytes, size)) ||
      FAILED(factory->CreateDecoderFromStream(stream.get(), nullptr, WICDecodeMetadataCacheOnDemand,
                                              decoder.put())) ||
      FAILED(decoder->GetFrame(0, frame.put())) ||
      FAILED(convert(GUID_WICPixelFormat32bppBGR, frame.get(), pixels.put())) ||
      FAILED(pixels->GetSize(&width, &height)) || width == 0 || height == 0 ||
      width > kLargestSide || height > kLargestSide) {
    return {};
  }

  BITMAPINFO format{};
  format.bmiHeader.biSize = sizeof format.bmiHeader;
  format.bmiHeader.biWidth = static_cast<LONG>(width);
  format.bmiHeader.biHeight = -static_cast<LONG>(height);  // top-down, as the decoder gives rows
  format.bmiHeader.biPlanes = 1;
  format.bmiHeader.biBitCount = 32;
  format.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  UniqueBitmap bitmap(CreateDIBSection(nullptr, &format, DIB_RGB_COLORS, &bits, nullptr, 0));
  const UINT stride = width * 4;
  if (!bitmap || bits == nullptr ||
      FAILED(pixels->CopyPixels(nullptr, stride, stride * height, static_cast<BYTE*>(bits)))) {
    return {};
  }
  return bitmap;
}

}  // namespace perchette
