#include "app/win32/form_fonts.hpp"

#include <algorithm>
#include <vector>

#include "app/form_layout.hpp"
#include "common/win32/enumeration.hpp"
#include "common/win32/utf16.hpp"

namespace quarnel::win32 {
namespace {

constexpr int kButtonPoints = 9;

int CALLBACK CollectFace(const LOGFONTW* font, const TEXTMETRICW*, DWORD, LPARAM faces) {
  return Enumerated<std::wstring>::Of(faces).Visit(
      [font](std::vector<std::wstring>& found) { found.emplace_back(font->lfFaceName); });
}

OwnedFont MakeFont(const std::wstring& face, int height, int weight, BYTE charset) {
  LOGFONTW font{};
  font.lfHeight = height;
  font.lfWeight = weight;
  font.lfCharSet = charset;
  face.copy(font.lfFaceName, LF_FACESIZE - 1);
  return OwnedFont(CreateFontIndirectW(&font));
}

bool ShowsAll(HDC dc, const std::wstring& face, std::wstring_view sample) {
  const OwnedFont font = MakeFont(face, -16, FW_NORMAL, GB2312_CHARSET);
  if (!font) return false;
  const Selection selected(dc, font.Get());
  std::vector<WORD> glyphs(sample.size());
  const DWORD done = GetGlyphIndicesW(dc, sample.data(), static_cast<int>(sample.size()), glyphs.data(),
                                      GGI_MARK_NONEXISTING_GLYPHS);
  return done != GDI_ERROR && std::find(glyphs.begin(), glyphs.end(), WORD{0xFFFF}) == glyphs.end();
}

// Every text the window shows, and the Latin letters and digits a note may hold.
std::wstring FormSample() {
  std::wstring sample = L"Quarnel 0123456789 abcdefghijklmnopqrstuvwxyz ABCDEFGHIJKLMNOPQRSTUVWXYZ";
  for (const auto& control : app::Form1Definition().controls) {
    sample += ToUtf16(control.text);
    sample += ToUtf16(control.tooltip);
  }
  sample.erase(std::remove(sample.begin(), sample.end(), L' '), sample.end());
  return sample;
}

}  // namespace

std::wstring ChineseUiFace(std::wstring_view sample, std::initializer_list<const wchar_t*> preferred) {
  Enumerated<std::wstring> enumerated;
  LOGFONTW query{};
  query.lfCharSet = GB2312_CHARSET;
  const ScreenDc screen;
  EnumFontFamiliesExW(screen.Get(), &query, CollectFace, enumerated.Context(), 0);
  const std::vector<std::wstring> faces = enumerated.Take();
  std::vector<std::wstring> candidates;
  for (const wchar_t* face : preferred) {
    if (std::find(faces.begin(), faces.end(), face) != faces.end()) candidates.emplace_back(face);
  }
  // Wine offers the host's CJK families under their own names; some lack Latin letters.
  for (const auto& face : faces) {
    if (!face.empty() && face.front() != L'@') candidates.push_back(face);
  }
  for (const auto& face : candidates) {
    if (ShowsAll(screen.Get(), face, sample)) return face;
  }
  return {};
}

FormFonts MakeFormFonts(Dpi dpi) {
  const std::wstring sample = FormSample();
  const std::wstring buttonFace =
      ChineseUiFace(sample, {L"Microsoft YaHei UI", L"Microsoft YaHei", L"SimSun", L"宋体", L"NSimSun"});
  const app::FontDef& note = app::Form1Definition().text1Font;
  // SimSun where it is installed; else the mapper's pick could lack Latin letters (as under Wine).
  std::wstring noteFace = ChineseUiFace(sample, {L"宋体", L"SimSun"});
  if (noteFace == L"SimSun" || noteFace == L"宋体" || noteFace.empty()) noteFace = ToUtf16(note.face);
  return {
      MakeFont(buttonFace, -MulDiv(kButtonPoints, dpi.y, 72), FW_NORMAL, GB2312_CHARSET),
      MakeFont(noteFace, -MulDiv(note.decipoints, dpi.y, 720), note.weight, static_cast<BYTE>(note.charset))};
}

}  // namespace quarnel::win32
