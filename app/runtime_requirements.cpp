#include "app/runtime_requirements.h"

#include "common/text_encoding.h"

namespace kestrum {
namespace {

std::string Joined(const std::vector<std::string>& parts) {
    std::string text;
    for (const std::string& part : parts)
        text += (text.empty() ? "" : ", ") + part;
    return text;
}

}  // namespace

const std::vector<MediaComponent>& MediaComponents() {
    static const std::vector<MediaComponent> components{
        {"MP4 container", {"qtdemux"}},
        {"H.264 video decoder", {"avdec_h264", "openh264dec"}},
        {"AAC audio decoder", {"avdec_aac", "faad", "fdkaacdec"}},
        {"WebM container", {"matroskademux"}},
        {"VP8 video decoder", {"vp8dec", "avdec_vp8"}},
        {"VP9 video decoder", {"vp9dec", "avdec_vp9"}},
        {"Vorbis audio decoder", {"vorbisdec", "avdec_vorbis"}},
        {"Opus audio decoder", {"opusdec", "avdec_opus"}},
    };
    return components;
}

std::vector<std::string> MissingMediaComponents(
    const std::function<bool(std::string_view element)>& hasElement) {
    std::vector<std::string> missing;
    for (const MediaComponent& component : MediaComponents()) {
        bool found = false;
        for (const std::string_view element : component.elements)
            found = found || hasElement(element);
        if (!found)
            missing.emplace_back(component.description);
    }
    return missing;
}

std::u16string RuntimeProblemText(const RuntimeProblems& problems) {
    std::string english;
    std::string arabic;
    if (problems.engineTooOld) {
        english += "The web engine WebKitGTK " + *problems.engineTooOld +
                   " is too old for this application (2.36 or later is required). Please "
                   "install an up-to-date libwebkit2gtk-4.1-0 package.\n";
        arabic +=
            "محرك الويب WebKitGTK المثبت قديم. يرجى تثبيت إصدار حديث من الحزمة "
            "libwebkit2gtk-4.1-0.\n";
    }
    if (problems.extension) {
        english += "The application's web extension is missing or cannot be loaded (" +
                   *problems.extension + "). Please reinstall the application.\n";
        arabic += "ملحق الويب الخاص بالتطبيق مفقود أو لا يمكن تحميله. يرجى إعادة تثبيت التطبيق.\n";
    }
    if (!problems.missingMedia.empty()) {
        const std::string list = Joined(problems.missingMedia);
        english += "Components needed to play videos are missing: " + list +
                   ". Please install the packages gstreamer1.0-libav, "
                   "gstreamer1.0-plugins-good and gstreamer1.0-plugins-base.\n";
        arabic += "مكونات تشغيل الفيديو مفقودة: " + list +
                  ". يرجى تثبيت الحزم gstreamer1.0-libav و gstreamer1.0-plugins-good و "
                  "gstreamer1.0-plugins-base.\n";
    }
    english += "Then start the application again.";
    arabic += "ثم أعد تشغيل التطبيق.";
    return Utf8ToUtf16(english + "\n\n" + arabic);
}

}  // namespace kestrum
