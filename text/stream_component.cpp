#include "text/stream_component.h"

#include <iconv.h>

#include <cerrno>
#include <optional>

#include "services/ascii_case.h"
#include "text/component.h"

namespace oc {
namespace {

constexpr std::int32_t kTypeBinary = 1;
constexpr std::int32_t kTypeText = 2;
constexpr std::int32_t kReadAll = -1;

// The iconv name of a charset name as the stream takes it.
std::string iconvName(const WideText& charset) {
    std::string name;
    for (wchar_t c : charset) {
        if (c <= 0x20 || c >= 0x7F) {
            return {};
        }
        name += static_cast<char>(foldAsciiCase(c));
    }
    if (name == "unicode") {
        return "UTF-16LE";
    }
    if (name == "unicodefffe") {
        return "UTF-16BE";
    }
    if (name.starts_with("_autodetect")) {
        return {};
    }
    return name;
}

class Decoder {
  public:
    explicit Decoder(const std::string& charset)
        : cd_(charset.empty() ? kNone : iconv_open("UTF-32LE", charset.c_str())) {}
    ~Decoder() {
        if (ok()) {
            iconv_close(cd_);
        }
    }
    Decoder(const Decoder&) = delete;
    Decoder& operator=(const Decoder&) = delete;
    bool ok() const { return cd_ != kNone; }

    // Every byte decoded; an invalid or cut-off sequence gives U+FFFD and the
    // decoding goes on after its first byte.
    WideText decode(std::string_view bytes) {
        WideText out;
        std::size_t pos = 0;
        while (pos < bytes.size()) {
            unsigned char buffer[4096];
            char* in = const_cast<char*>(bytes.data() + pos);
            std::size_t inLeft = bytes.size() - pos;
            char* outPtr = reinterpret_cast<char*>(buffer);
            std::size_t outLeft = sizeof buffer;
            std::size_t rc = iconv(cd_, &in, &inLeft, &outPtr, &outLeft);
            int error = errno;
            for (unsigned char* p = buffer; p + 4 <= reinterpret_cast<unsigned char*>(outPtr);
                 p += 4) {
                out += static_cast<wchar_t>(p[0] | p[1] << 8 | p[2] << 16 | p[3] << 24);
            }
            pos = bytes.size() - inLeft;
            if (rc != static_cast<std::size_t>(-1) || error == E2BIG) {
                continue;
            }
            iconv(cd_, nullptr, nullptr, nullptr, nullptr);
            out += L'\xFFFD';
            ++pos;
        }
        return out;
    }

  private:
    static inline const iconv_t kNone = reinterpret_cast<iconv_t>(-1);
    iconv_t cd_;
};

enum StreamMember { kType, kMode, kCharset, kPosition, kSize, kOpen, kWrite, kReadText, kClose };

class StreamComponent : public Component {
  public:
    const std::vector<MemberInfo>& members() const override {
        using enum MemberKind;
        using enum VariantType;
        static const std::vector<MemberInfo> kMembers = {
            {"Type", kType, PropertyGet, {}},
            {"Type", kType, PropertyPut, {Integer}},
            {"Mode", kMode, PropertyGet, {}},
            {"Mode", kMode, PropertyPut, {Integer}},
            {"Charset", kCharset, PropertyGet, {}},
            {"Charset", kCharset, PropertyPut, {Text}},
            {"Position", kPosition, PropertyGet, {}},
            {"Position", kPosition, PropertyPut, {Integer}},
            {"Size", kSize, PropertyGet, {}},
            {"Open", kOpen, Function, {Any, Integer, Integer, Text, Text}, 5},
            {"Write", kWrite, Function, {Any}},
            {"ReadText", kReadText, Function, {Integer}, 1},
            {"Close", kClose, Function, {}},
        };
        return kMembers;
    }

    AutomationFailure invoke(int id, MemberKind kind, const Arguments& args,
                             Variant& result) override {
        if (kind == MemberKind::PropertyGet) {
            return read(id, result);
        }
        if (kind == MemberKind::PropertyPut) {
            const auto* number = argumentAs<std::int32_t>(args, 0);
            const auto* text = argumentAs<WideText>(args, 0);
            if (id == kCharset ? !text : !number) {
                return AutomationFailure::TypeMismatch;
            }
            return id == kCharset ? setCharset(*text) : write(id, *number);
        }
        switch (id) {
            case kOpen:
                return succeedIf(!open_, [&] {
                    open_ = true;
                    bytes_.clear();
                    position_ = 0;
                });
            case kClose:
                return succeedIf(open_, [&] { open_ = false; });
            case kWrite:
                return writeBytes(args);
            default:
                return readText(args, result);
        }
    }

  private:
    template <typename Action>
    static AutomationFailure succeedIf(bool allowed, Action action) {
        if (!allowed) {
            return AutomationFailure::ComponentError;
        }
        action();
        return AutomationFailure::None;
    }

    AutomationFailure read(int id, Variant& result) const {
        if ((id == kPosition || id == kSize) && !open_) {
            return AutomationFailure::ComponentError;
        }
        switch (id) {
            case kType:
                result = Variant(type_);
                break;
            case kMode:
                result = Variant(mode_);
                break;
            case kCharset:
                result = Variant(charset_);
                break;
            case kPosition:
                result = Variant(static_cast<std::int32_t>(position_));
                break;
            default:
                result = Variant(static_cast<std::int32_t>(bytes_.size()));
                break;
        }
        return AutomationFailure::None;
    }

    // Type changes while closed or at the start; Mode only while closed;
    // Position within the bytes of an open stream.
    AutomationFailure write(int id, std::int32_t value) {
        switch (id) {
            case kType:
                return succeedIf(
                    (value == kTypeBinary || value == kTypeText) && (!open_ || position_ == 0),
                    [&] { type_ = value; });
            case kMode:
                return succeedIf(!open_, [&] { mode_ = value; });
            default:
                return succeedIf(
                    open_ && value >= 0 && static_cast<std::size_t>(value) <= bytes_.size(),
                    [&] { position_ = static_cast<std::size_t>(value); });
        }
    }

    AutomationFailure setCharset(const WideText& charset) {
        return succeedIf((!open_ || position_ == 0) && Decoder(iconvName(charset)).ok(),
                         [&] { charset_ = charset; });
    }

    AutomationFailure writeBytes(const Arguments& args) {
        const auto* array = argumentAs<ByteArray>(args, 0);
        if (!array) {
            return AutomationFailure::TypeMismatch;
        }
        return succeedIf(open_ && type_ == kTypeBinary, [&] {
            bytes_.replace(position_, array->bytes.size(), array->bytes.bytes());
            position_ += array->bytes.size();
        });
    }

    AutomationFailure readText(const Arguments& args, Variant& result) {
        const auto* count = argumentAs<std::int32_t>(args, 0);
        if (!args.empty() && !count) {
            return AutomationFailure::TypeMismatch;
        }
        if (!open_ || type_ != kTypeText) {
            return AutomationFailure::ComponentError;
        }
        Decoder decoder(iconvName(charset_));
        WideText text = decoder.decode(std::string_view(bytes_).substr(position_));
        if (position_ == 0 && text.starts_with(L'\xFEFF')) {
            text.erase(0, 1);  // the byte-order mark is no part of the text
        }
        std::int32_t wanted = count ? *count : kReadAll;
        if (wanted >= 0 && static_cast<std::size_t>(wanted) < text.size()) {
            text.resize(static_cast<std::size_t>(wanted));
        }
        position_ = bytes_.size();
        result = Variant(std::move(text));
        return AutomationFailure::None;
    }

    std::int32_t type_ = kTypeBinary;
    std::int32_t mode_ = 0;
    WideText charset_ = L"Unicode";
    bool open_ = false;
    std::string bytes_;
    std::size_t position_ = 0;
};

}  // namespace

ComponentRef makeStreamComponent() {
    return std::make_shared<StreamComponent>();
}

}  // namespace oc
