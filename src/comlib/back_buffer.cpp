#include "comlib/back_buffer.h"

BackBuffer_CL::BackBuffer_CL(Gdiplus::PixelFormat format) : format_(format) {}
BackBuffer_CL::~BackBuffer_CL() = default;
void BackBuffer_CL::Resize(int, int) {}
void BackBuffer_CL::Release() {}
comlib::GpGraphicsOwner BackBuffer_CL::Graphics() const { return comlib::GpGraphicsOwner(); }
void BackBuffer_CL::Clear(int, int) {}
void BackBuffer_CL::CopyTo(HDC, int, int) const {}
comlib::UniqueBitmap BackBuffer_CL::ToGdiBitmap() const { return comlib::UniqueBitmap(); }
Gdiplus::ARGB BackBuffer_CL::PixelAt(int, int) const { return 0; }
