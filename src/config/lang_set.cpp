#include "locmodel/config/lang_set.h"

LOCMODEL_DEFINE_PROP(CLangSetProp, u"LangSetType");
