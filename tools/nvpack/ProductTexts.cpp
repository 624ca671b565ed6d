#include "ProductTexts.h"

namespace nvpack {

namespace {

const char productMark[] = "{product}";

// The explanatory text's control is 223 dialog units wide: room for about 56
// characters of average width on a line, or half as many of East Asian ones.
constexpr std::size_t lineWidth = 56;

bool isWide(std::uint32_t c) {
    return (c >= 0x1100 && c <= 0x115F) || (c >= 0x2E80 && c <= 0xA4CF) || (c >= 0xAC00 && c <= 0xD7A3) ||
           (c >= 0xF900 && c <= 0xFAFF) || (c >= 0xFE30 && c <= 0xFE4F) || (c >= 0xFF00 && c <= 0xFF60) ||
           (c >= 0xFFE0 && c <= 0xFFE6);
}

}  // namespace

// The languages and tags of resources/strings/*.rc; the language's users read
// the text through its ANSI code page, which every text here keeps to (the
// Romanian one uses s and t with cedilla, as the stub's own table does).
const ProductText productTexts[] = {
    {0x0409, true,  // English (US)
     "{product} is preparing the setup wizard, which\nwill guide you through the rest of the process.\n"
     "Please wait..."},
    {0x0002, true,  // Bulgarian
     "{product} подготвя съветника за инсталиране, който\nще ви преведе през останалата част от процеса.\n"
     "Моля, изчакайте..."},
    {0x0005, true,  // Czech
     "{product} připravuje průvodce instalací, který\nvás provede zbytkem procesu.\nČekejte prosím..."},
    {0x0006, true,  // Danish
     "{product} forbereder installationsguiden, som\nvil føre dig gennem resten af processen.\nVent venligst..."},
    {0x0007, true,  // German
     "{product} bereitet den Setup-Assistenten vor,\nder Sie durch den restlichen Vorgang führen wird.\n"
     "Bitte warten..."},
    {0x0008, true,  // Greek: a label, so that no article must agree with the name
     "{product}: προετοιμάζεται ο οδηγός εγκατάστασης,\nπου θα σας καθοδηγήσει στην υπόλοιπη διαδικασία.\n"
     "Περιμένετε..."},
    {0x000A, true,  // Spanish
     "{product} está preparando el asistente de instalación,\nque le guiará durante el resto del proceso.\n"
     "Espere, por favor..."},
    {0x000B, true,  // Finnish
     "{product} valmistelee ohjattua asennustoimintoa, joka\nopastaa sinua prosessin loppuosan läpi.\nOdota..."},
    {0x000C, true,  // French
     "{product} prépare l'assistant d'installation, qui va\nvous guider pendant le reste de la procédure.\n"
     "Veuillez patienter..."},
    {0x001A, true,  // Croatian
     "{product} priprema čarobnjaka za instalaciju, koji će\nvas voditi kroz ostatak postupka.\nPričekajte..."},
    {0x000E, true,  // Hungarian: a label, so that no article (a or az) must suit the name
     "{product}: előkészül a telepítővarázsló, amely\nvégigvezeti Önt az eljárás hátralévő részén.\n"
     "Kérem, várjon..."},
    {0x0010, true,  // Italian
     "{product} sta preparando l'installazione guidata,\nche vi guiderà nel resto del processo.\nAttendere..."},
    {0x0411, false,  // Japanese
     "{product} は、残りの処理を案内する\nセットアップ ウィザードを準備しています。\nしばらくお待ちください..."},
    {0x0412, true,  // Korean: 에서 follows any name alike
     "{product}에서 나머지 과정을 안내할 설치 마법사를\n준비하고 있습니다.\n잠시 기다려 주십시오..."},
    {0x0013, true,  // Dutch
     "{product} bereidt de installatiewizard voor, die u\ndoor de rest van het proces zal leiden.\nEven geduld..."},
    {0x0014, true,  // Norwegian
     "{product} klargjør installasjonsveiviseren, som\nvil lede deg gjennom resten av prosessen.\nVent litt..."},
    {0x0015, true,  // Polish
     "{product} przygotowuje kreatora instalacji, który\nprzeprowadzi Cię przez pozostałą część procesu.\n"
     "Proszę czekać..."},
    {0x0416, true,  // Portuguese (Brazil)
     "{product} está preparando o assistente de instalação,\nque o guiará pelo restante do processo.\nAguarde..."},
    {0x0816, true,  // Portuguese (Portugal)
     "{product} está a preparar o assistente de instalação,\nque o irá guiar durante o resto do processo.\n"
     "Aguarde..."},
    {0x0018, true,  // Romanian
     "{product} pregăteşte expertul de instalare, care vă va\nîndruma pe parcursul restului procesului.\n"
     "Aşteptaţi..."},
    {0x0019, true,  // Russian
     "{product} подготавливает мастер установки, который\nпроведет вас через оставшуюся часть процесса.\n"
     "Подождите..."},
    {0x001B, true,  // Slovak
     "{product} pripravuje sprievodcu inštaláciou, ktorý\nvás prevedie zvyškom procesu.\nČakajte, prosím..."},
    {0x0024, true,  // Slovenian
     "{product} pripravlja čarovnika za namestitev, ki vas\nbo vodil skozi preostali del postopka.\nPočakajte ..."},
    {0x001D, true,  // Swedish
     "{product} förbereder installationsguiden, som\nleder dig genom resten av processen.\nVänta..."},
    {0x001F, true,  // Turkish
     "{product}, işlemin geri kalanında size yol gösterecek\nolan kurulum sihirbazını hazırlıyor.\n"
     "Lütfen bekleyin..."},
    {0x0804, false,  // Chinese (PRC)
     "{product} 正在准备安装向导，该向导将指导您\n完成其余的过程。\n请稍候..."},
    {0x0404, false,  // Chinese (Taiwan)
     "{product} 正在準備安裝精靈，它將引導您\n完成其餘的程序。\n請稍候..."},
};

const std::size_t productTextCount = sizeof productTexts / sizeof productTexts[0];

std::size_t textWidth(const std::string& utf8) {
    std::size_t columns = 0;
    for (std::size_t i = 0; i < utf8.size();) {
        const auto lead = static_cast<unsigned char>(utf8[i]);
        const std::size_t length = lead < 0xC0 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
        std::uint32_t c = length == 1 ? lead : lead & (0x7F >> length);
        for (std::size_t k = 1; k < length && i + k < utf8.size(); ++k) {
            c = c << 6 | (static_cast<unsigned char>(utf8[i + k]) & 0x3F);
        }
        columns += isWide(c) ? 2 : 1;
        i += length;
    }
    return columns;
}

const ProductText* findProductText(std::uint16_t language) {
    for (const ProductText& t : productTexts) {
        if (t.language == language) return &t;
    }
    return nullptr;
}

std::string productTextFor(const ProductText& text, const std::string& productName) {
    std::string name;
    for (char c : productName) {
        name += c;
        if (c == '&') name += '&';
    }
    std::string out = text.text;
    const std::string::size_type at = out.find(productMark);
    if (at != std::string::npos) out.replace(at, sizeof productMark - 1, name);
    const std::string::size_type firstBreak = out.find('\n');
    if (text.spaced && textWidth(out.substr(0, firstBreak)) > lineWidth) {
        const std::string::size_type lastBreak = out.rfind('\n');
        for (std::string::size_type i = 0; i < lastBreak; ++i) {
            if (out[i] == '\n') out[i] = ' ';
        }
    }
    return out;
}

}  // namespace nvpack
