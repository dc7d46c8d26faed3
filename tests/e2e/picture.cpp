#include "tests/e2e/picture.hpp"
//
#include "common/win32/win_headers.hpp"
//
#include <wincodec.h>

#include <algorithm>
#include <cstdlib>

#include "common/win32/owned.hpp"

namespace quarnel::e2e {

using Microsoft::WRL::ComPtr;

Picture ReadPicture(const std::wstring& path) {
  ComPtr<IWICImagingFactory> factory;
  ComPtr<IWICBitmapDecoder> decoder;
  ComPtr<IWICBitmapFrameDecode> frame;
  ComPtr<IWICBitmapSource> converted;
  if (FAILED(
          CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(&factory))) ||
      FAILED(factory->CreateDecoderFromFilename(path.c_str(), nullptr, GENERIC_READ,
                                                WICDecodeMetadataCacheOnDemand, &decoder)) ||
      FAILED(decoder->GetFrame(0, &frame)) ||
      // The guide's pictures hold a palette: one pixel format for every picture compared.
      FAILED(WICConvertBitmapSource(GUID_WICPixelFormat32bppBGR, frame.Get(), &converted))) {
    return {};
  }
  UINT width = 0;
  UINT height = 0;
  if (FAILED(converted->GetSize(&width, &height))) return {};
  Picture picture{static_cast<int>(width), static_cast<int>(height),
                  std::vector<std::uint32_t>(static_cast<std::size_t>(width) * height)};
  if (FAILED(converted->CopyPixels(nullptr, width * 4, static_cast<UINT>(picture.pixels.size() * 4),
                                   reinterpret_cast<BYTE*>(picture.pixels.data())))) {
    return {};
  }
  for (std::uint32_t& pixel : picture.pixels) pixel &= 0xFFFFFF;
  return picture;
}

bool WriteBmp(const Picture& picture, const std::wstring& path) {
  if (picture.Empty()) return false;
  const auto stride = static_cast<DWORD>((picture.width * 3 + 3) & ~3);
  const DWORD size = stride * static_cast<DWORD>(picture.height);
  // Bottom row first, blue before green before red.
  std::vector<BYTE> bits(size);
  for (int y = 0; y < picture.height; ++y) {
    BYTE* row = bits.data() + static_cast<std::size_t>(picture.height - 1 - y) * stride;
    for (int x = 0; x < picture.width; ++x) {
      const std::uint32_t pixel = picture.At(x, y);
      row[x * 3] = static_cast<BYTE>(pixel);
      row[x * 3 + 1] = static_cast<BYTE>(pixel >> 8);
      row[x * 3 + 2] = static_cast<BYTE>(pixel >> 16);
    }
  }
  const BITMAPINFOHEADER info{
      sizeof(BITMAPINFOHEADER), picture.width, picture.height, 1, 24, BI_RGB, size, 0, 0, 0, 0};
  BITMAPFILEHEADER file{};
  file.bfType = 0x4D42;
  file.bfOffBits = sizeof(BITMAPFILEHEADER) + sizeof(BITMAPINFOHEADER);
  file.bfSize = file.bfOffBits + size;
  win32::OwnedHandle out(
      CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!out) return false;
  DWORD written = 0;
  const bool wrote = WriteFile(out.Get(), &file, sizeof(file), &written, nullptr) &&
                     WriteFile(out.Get(), &info, sizeof(info), &written, nullptr) &&
                     WriteFile(out.Get(), bits.data(), size, &written, nullptr);
  return out.Close() && wrote;
}

double ShareApart(const Picture& a, const Picture& b, int firstRow, int tolerance) {
  if (a.width != b.width || a.height != b.height) return 1.0;
  firstRow = std::clamp(firstRow, 0, a.height);
  const auto channel = [](std::uint32_t pixel, int shift) {
    return static_cast<int>((pixel >> shift) & 0xFF);
  };
  long apart = 0;
  for (int y = firstRow; y < a.height; ++y) {
    for (int x = 0; x < a.width; ++x) {
      const std::uint32_t p = a.At(x, y);
      const std::uint32_t q = b.At(x, y);
      for (int shift : {0, 8, 16}) {
        if (std::abs(channel(p, shift) - channel(q, shift)) > tolerance) {
          ++apart;
          break;
        }
      }
    }
  }
  const long compared = static_cast<long>(a.height - firstRow) * a.width;
  return compared ? static_cast<double>(apart) / static_cast<double>(compared) : 0.0;
}

}  // namespace quarnel::e2e
