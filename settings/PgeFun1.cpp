// The Pointer page's controls from template 318, translated.
#include "settings/PgeFun1.h"

#include "lang/Language.h"
#include "platform/ui/DataExchange.h"
#include "res/ResourceIds.h"

CPgeFun1::CPgeFun1() : CSkinDialog(IDD_POINTER_PAGE, nullptr) {}

CPgeFun1::~CPgeFun1() = default;

void CPgeFun1::DoDataExchange(CDataExchange* pDX)
{
    DDX_Control(pDX, IDC_OPACITY_SLIDER, sliderOpacity);
    DDX_Control(pDX, IDC_POINTER_PREVIEW, picPointer);
    DDX_Control(pDX, IDC_LINK_MORE, linkMore);
}

BOOL CPgeFun1::OnInitDialog()
{
    CDialog::OnInitDialog();
    CreateSkinFonts();
    TranslateDialog(this, IDD_POINTER_PAGE);
    return TRUE;
}
