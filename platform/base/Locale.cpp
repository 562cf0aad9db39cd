// Maps POSIX locale names to Windows language ids.
#include "platform/base/Locale.h"

#include <QStringList>

#include <cstdlib>

namespace {

constexpr LANGID LANGID_ENGLISH_US = 1033;

struct LocaleId {
    const char* szName; // "ll_TT" for a territory, "ll" for the language's usual one
    LANGID nId;
};

// Language with territory first; the bare language rows give the fallback.
// A row with "@modifier" serves only names with that modifier.
constexpr LocaleId kLocales[] = {
    {"en_US", 1033}, {"en_GB", 2057}, {"en_AU", 3081}, {"en_CA", 4105}, {"en_NZ", 5129},
    {"en_IE", 6153}, {"en_ZA", 7177}, {"en_IN", 16393}, {"en", 1033},
    {"de_DE", 1031}, {"de_CH", 2055}, {"de_AT", 3079}, {"de_LU", 4103}, {"de_LI", 5127}, {"de", 1031},
    {"fr_FR", 1036}, {"fr_BE", 2060}, {"fr_CA", 3084}, {"fr_CH", 4108}, {"fr_LU", 5132}, {"fr", 1036},
    {"es_ES", 3082}, {"es_MX", 2058}, {"es_AR", 11274}, {"es_CO", 9226}, {"es_CL", 13322},
    {"es_US", 21514}, {"es", 3082},
    {"it_IT", 1040}, {"it_CH", 2064}, {"it", 1040},
    {"pt_BR", 1046}, {"pt_PT", 2070}, {"pt", 1046},
    {"nl_NL", 1043}, {"nl_BE", 2067}, {"nl", 1043},
    {"zh_CN", 2052}, {"zh_TW", 1028}, {"zh_HK", 3076}, {"zh_SG", 4100}, {"zh_MO", 5124}, {"zh", 2052},
    {"ja_JP", 1041}, {"ja", 1041},
    {"ko_KR", 1042}, {"ko", 1042},
    {"ru_RU", 1049}, {"ru", 1049},
    {"pl_PL", 1045}, {"pl", 1045},
    {"tr_TR", 1055}, {"tr", 1055},
    {"sv_SE", 1053}, {"sv_FI", 2077}, {"sv", 1053},
    {"da_DK", 1030}, {"da", 1030},
    {"nb_NO", 1044}, {"nb", 1044}, {"no_NO", 1044}, {"no", 1044}, {"nn_NO", 2068}, {"nn", 2068},
    {"fi_FI", 1035}, {"fi", 1035},
    {"cs_CZ", 1029}, {"cs", 1029},
    {"sk_SK", 1051}, {"sk", 1051},
    {"hu_HU", 1038}, {"hu", 1038},
    {"ro_RO", 1048}, {"ro", 1048},
    {"bg_BG", 1026}, {"bg", 1026},
    {"el_GR", 1032}, {"el", 1032},
    {"uk_UA", 1058}, {"uk", 1058},
    {"hr_HR", 1050}, {"hr", 1050},
    {"sl_SI", 1060}, {"sl", 1060},
    // Serbian is written in Cyrillic unless the locale's modifier says Latin.
    {"sr_RS", 10266}, {"sr_ME", 12314}, {"sr", 10266},
    {"sr_RS@latin", 9242}, {"sr_ME@latin", 11290}, {"sr@latin", 9242},
    {"ca_ES@valencia", 2051}, {"ca@valencia", 2051},
    {"lt_LT", 1063}, {"lt", 1063},
    {"lv_LV", 1062}, {"lv", 1062},
    {"et_EE", 1061}, {"et", 1061},
    {"ca_ES", 1027}, {"ca", 1027},
    {"eu_ES", 1069}, {"eu", 1069},
    {"gl_ES", 1110}, {"gl", 1110},
    {"ar_SA", 1025}, {"ar_EG", 3073}, {"ar_AE", 14337}, {"ar", 1025},
    {"he_IL", 1037}, {"he", 1037},
    {"fa_IR", 1065}, {"fa", 1065},
    {"hi_IN", 1081}, {"hi", 1081},
    {"th_TH", 1054}, {"th", 1054},
    {"vi_VN", 1066}, {"vi", 1066},
    {"id_ID", 1057}, {"id", 1057},
    {"ms_MY", 1086}, {"ms", 1086},
    {"is_IS", 1039}, {"is", 1039},
};

LANGID FindId(const QString& name)
{
    for (const LocaleId& row : kLocales)
        if (name == QLatin1String(row.szName))
            return row.nId;
    return 0;
}

// The id for a locale name; 0 when it names no language we know, so that a
// list of languages can go on to the next one.
LANGID KnownLangId(const QString& localeName)
{
    // language[_territory][.codeset][@modifier]
    QString name = localeName.trimmed();
    const qsizetype at = name.indexOf(u'@');
    const QString modifier = at < 0 ? QString() : name.mid(at).toLower();
    if (at >= 0)
        name.truncate(at);
    if (const qsizetype dot = name.indexOf(u'.'); dot >= 0)
        name.truncate(dot);
    name.replace(u'-', u'_');
    const qsizetype sep = name.indexOf(u'_');
    const QString language = (sep < 0 ? name : name.left(sep)).toLower();
    const QString territory = sep < 0 ? QString() : name.mid(sep + 1).toUpper();
    if (language.isEmpty() || language == u"c" || language == u"posix")
        return 0;
    QStringList candidates;
    if (!territory.isEmpty())
        candidates << language + u'_' + territory + modifier << language + u'_' + territory;
    candidates << language + modifier << language;
    for (const QString& candidate : candidates)
        if (const LANGID id = FindId(candidate))
            return id;
    return 0;
}

BOOL bIsCLocale(const QString& localeName)
{
    const QString name = localeName.section(u'.', 0, 0).section(u'@', 0, 0);
    return name.isEmpty() || name == u"C" || name == u"POSIX";
}

} // namespace

LANGID LangIdFromLocaleName(const QString& localeName)
{
    const LANGID id = KnownLangId(localeName);
    return id ? id : LANGID_ENGLISH_US;
}

LANGID GetUserDefaultLangID()
{
    QString locale;
    for (const char* var : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
        locale = QString::fromLocal8Bit(std::getenv(var));
        if (!locale.isEmpty())
            break;
    }
    // As the GNU tools do: LANGUAGE, a list in order of preference, counts
    // only when the locale is not C.
    if (!bIsCLocale(locale))
        for (const QString& entry : QString::fromLocal8Bit(std::getenv("LANGUAGE")).split(u':', Qt::SkipEmptyParts))
            if (const LANGID id = KnownLangId(entry))
                return id;
    return LangIdFromLocaleName(locale);
}
