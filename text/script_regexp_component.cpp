#include "text/script_regexp_component.h"

#include <boost/regex.hpp>

#include <locale>
#include <optional>

#include "text/component.h"

namespace oc {
namespace {

struct MatchData {
    WideText value;
    std::int32_t firstIndex = 0;
    std::vector<std::optional<WideText>> groups;  // none for a group that took no part
    std::size_t end() const { return static_cast<std::size_t>(firstIndex) + value.size(); }
};
using MatchList = std::vector<MatchData>;

enum CollectionMember { kCount, kItem };

// A read-only collection: Count, and Item(i) for i from 0. The match
// collection holds match objects, a SubMatches collection texts or empties.
class CollectionComponent : public Component {
  public:
    explicit CollectionComponent(std::vector<Variant> items) : items_(std::move(items)) {}

    const std::vector<MemberInfo>& members() const override {
        static const std::vector<MemberInfo> kMembers = {
            {"Count", kCount, MemberKind::PropertyGet, {}},
            {"Item", kItem, MemberKind::PropertyGet, {VariantType::Integer}},
        };
        return kMembers;
    }

    AutomationFailure invoke(int id, MemberKind, const Arguments& args, Variant& result) override {
        if (id == kCount) {
            result = Variant(static_cast<std::int32_t>(items_.size()));
            return AutomationFailure::None;
        }
        const auto* index = argumentAs<std::int32_t>(args, 0);
        if (!index) {
            return AutomationFailure::TypeMismatch;
        }
        if (*index < 0 || static_cast<std::size_t>(*index) >= items_.size()) {
            return AutomationFailure::ComponentError;
        }
        result = items_[static_cast<std::size_t>(*index)];
        return AutomationFailure::None;
    }

  private:
    std::vector<Variant> items_;
};

enum MatchMember { kValue, kFirstIndex, kLength, kSubMatches };

class MatchComponent : public Component {
  public:
    explicit MatchComponent(const MatchData& match)
        : value_(match.value), firstIndex_(match.firstIndex) {
        std::vector<Variant> groups;
        for (const auto& group : match.groups) {
            groups.push_back(group ? Variant(*group) : Variant());
        }
        subMatches_ = std::make_shared<CollectionComponent>(std::move(groups));
    }

    const std::vector<MemberInfo>& members() const override {
        static const std::vector<MemberInfo> kMembers = {
            {"Value", kValue, MemberKind::PropertyGet, {}},
            {"FirstIndex", kFirstIndex, MemberKind::PropertyGet, {}},
            {"Length", kLength, MemberKind::PropertyGet, {}},
            {"SubMatches", kSubMatches, MemberKind::PropertyGet, {}},
        };
        return kMembers;
    }

    AutomationFailure invoke(int id, MemberKind, const Arguments&, Variant& result) override {
        switch (id) {
            case kValue:
                result = Variant(value_);
                break;
            case kFirstIndex:
                result = Variant(firstIndex_);
                break;
            case kLength:
                result = Variant(static_cast<std::int32_t>(value_.size()));
                break;
            default:
                result = Variant(subMatches_);
                break;
        }
        return AutomationFailure::None;
    }

  private:
    WideText value_;
    std::int32_t firstIndex_;
    ComponentRef subMatches_;
};

ComponentRef makeMatchCollection(const MatchList& matches) {
    std::vector<Variant> items;
    items.reserve(matches.size());
    for (const MatchData& match : matches) {
        items.emplace_back(std::make_shared<MatchComponent>(match));
    }
    return std::make_shared<CollectionComponent>(std::move(items));
}

// The text put in place of one match: $$, $&, $`, $' and $1..$99 as the script
// engines read them; any other $ stands for itself.
WideText expandReplacement(const WideText& format, const MatchData& match, const WideText& source) {
    auto digit = [](wchar_t c) { return c >= L'0' && c <= L'9' ? c - L'0' : -1; };
    auto groups = static_cast<int>(match.groups.size());
    WideText out;
    for (std::size_t i = 0; i < format.size(); ++i) {
        wchar_t next = i + 1 < format.size() ? format[i + 1] : L'\0';
        int first = digit(next);
        int second = first >= 0 && i + 2 < format.size() ? digit(format[i + 2]) : -1;
        int twoDigits = second >= 0 ? first * 10 + second : -1;
        if (format[i] != L'$') {
            out += format[i];
        } else if (next == L'$') {
            out += L'$';
            ++i;
        } else if (next == L'&') {
            out += match.value;
            ++i;
        } else if (next == L'`') {
            out.append(source, 0, static_cast<std::size_t>(match.firstIndex));
            ++i;
        } else if (next == L'\'') {
            out.append(source, match.end(), WideText::npos);
            ++i;
        } else if (twoDigits >= 1 && twoDigits <= groups) {
            out += match.groups[static_cast<std::size_t>(twoDigits - 1)].value_or(WideText());
            i += 2;
        } else if (first >= 1 && first <= groups) {
            out += match.groups[static_cast<std::size_t>(first - 1)].value_or(WideText());
            ++i;
        } else {
            out += L'$';
        }
    }
    return out;
}

enum RegExpMember { kPattern, kIgnoreCase, kGlobal, kMultiline, kExecute, kReplace, kTest };

class ScriptRegExpComponent : public Component {
  public:
    const std::vector<MemberInfo>& members() const override {
        using enum MemberKind;
        static const std::vector<MemberInfo> kMembers = {
            {"Pattern", kPattern, PropertyGet, {}},
            {"Pattern", kPattern, PropertyPut, {VariantType::Text}},
            {"IgnoreCase", kIgnoreCase, PropertyGet, {}},
            {"IgnoreCase", kIgnoreCase, PropertyPut, {VariantType::Logical}},
            {"Global", kGlobal, PropertyGet, {}},
            {"Global", kGlobal, PropertyPut, {VariantType::Logical}},
            {"Multiline", kMultiline, PropertyGet, {}},
            {"Multiline", kMultiline, PropertyPut, {VariantType::Logical}},
            {"Execute", kExecute, Function, {VariantType::Text}},
            {"Replace", kReplace, Function, {VariantType::Text, VariantType::Text}},
            {"Test", kTest, Function, {VariantType::Text}},
        };
        return kMembers;
    }

    AutomationFailure invoke(int id, MemberKind kind, const Arguments& args,
                             Variant& result) override {
        if (id == kPattern) {
            return property(pattern_, kind, args, result);
        }
        if (id == kIgnoreCase || id == kGlobal || id == kMultiline) {
            bool& flag = id == kIgnoreCase ? ignoreCase_ : id == kGlobal ? global_ : multiline_;
            return property(flag, kind, args, result);
        }
        const auto* source = argumentAs<WideText>(args, 0);
        const auto* format = argumentAs<WideText>(args, 1);
        if (!source || (id == kReplace && !format)) {
            return AutomationFailure::TypeMismatch;
        }
        auto matches = search(*source, id == kTest ? false : global_);
        if (!matches) {
            return AutomationFailure::ComponentError;
        }
        if (id == kExecute) {
            result = Variant(makeMatchCollection(*matches));
        } else if (id == kTest) {
            result = Variant(!matches->empty());
        } else {
            result = Variant(replace(*source, *format, *matches));
        }
        return AutomationFailure::None;
    }

  private:
    template <typename T>
    static AutomationFailure property(T& field, MemberKind kind, const Arguments& args,
                                      Variant& result) {
        if (kind == MemberKind::PropertyGet) {
            result = Variant(field);
            return AutomationFailure::None;
        }
        const T* value = argumentAs<T>(args, 0);
        if (!value) {
            return AutomationFailure::TypeMismatch;
        }
        field = *value;
        return AutomationFailure::None;
    }

    // The pattern as compiled for the current options; none when it is invalid.
    std::optional<boost::wregex> compile() const {
        auto flags = boost::regex_constants::perl | boost::regex_constants::no_except |
                     boost::regex_constants::no_mod_s;
        if (ignoreCase_) {
            flags |= boost::regex_constants::icase;
        }
        if (!multiline_) {
            flags |= boost::regex_constants::no_mod_m;
        }
        boost::wregex regex;
        regex.imbue(std::locale::classic());  // character classes never follow the C locale
        regex.assign(pattern_, flags);
        if (regex.status() != 0) {
            return std::nullopt;
        }
        return regex;
    }

    // Every match (or only the first), left to right; none for an invalid pattern.
    std::optional<MatchList> search(const WideText& source, bool all) const {
        auto regex = compile();
        if (!regex) {
            return std::nullopt;
        }
        MatchList matches;
        try {
            boost::wsregex_iterator it(source.begin(), source.end(), *regex);
            for (; it != boost::wsregex_iterator(); ++it) {
                const auto& found = *it;
                MatchData match{found.str(), static_cast<std::int32_t>(found.position()), {}};
                for (std::size_t g = 1; g < found.size(); ++g) {
                    match.groups.push_back(
                        found[static_cast<int>(g)].matched
                            ? std::optional<WideText>(found.str(static_cast<int>(g)))
                            : std::nullopt);
                }
                matches.push_back(std::move(match));
                if (!all) {
                    break;
                }
            }
        } catch (const std::exception&) {  // a search too complex for the engine
            return std::nullopt;
        }
        return matches;
    }

    static WideText replace(const WideText& source, const WideText& format,
                            const MatchList& matches) {
        WideText out;
        std::size_t done = 0;
        for (const MatchData& match : matches) {
            out.append(source, done, static_cast<std::size_t>(match.firstIndex) - done);
            out += expandReplacement(format, match, source);
            done = match.end();
        }
        out.append(source, done, WideText::npos);
        return out;
    }

    WideText pattern_;
    bool ignoreCase_ = false;
    bool global_ = false;
    bool multiline_ = false;
};

}  // namespace

ComponentRef makeScriptRegExpComponent() {
    return std::make_shared<ScriptRegExpComponent>();
}

}  // namespace oc
