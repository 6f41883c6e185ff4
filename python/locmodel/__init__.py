"""Localization projects from Python: item trees, configuration, languages,
segmentation and text services, over the locmodel C++ library.

One tree is used from one thread at a time: the library's process-wide
objects are not locked. Loading, saving and segmenting release the GIL, so
threads that work on different trees run in parallel.
"""
import sys as _sys
from collections.abc import ItemsView, MutableMapping, MutableSequence, ValuesView

from . import _locmodel
from ._locmodel import (ConditionEntry, DataError, EmbeddedCfg, Error, FileError, Item, Language,
                        ProjectLangs, SrxStore, Translation, Variant, condition, entities, escapes,
                        expand, lang, langs, load, save, segment)
from ._locmodel import Condition

__all__ = ["Condition", "ConditionEntry", "DataError", "EmbeddedCfg", "Error", "FileError", "Item",
           "Language", "ProjectLangs", "SrxStore", "Translation", "Variant", "condition", "entities",
           "escapes", "expand", "lang", "langs", "load", "save", "segment"]

# `import locmodel.entities` works as well as the attribute.
_sys.modules[__name__ + ".entities"] = entities
_sys.modules[__name__ + ".escapes"] = escapes


class Children(MutableSequence):
    """The children of an item, in order. Inserting takes an item without a
    parent (a new one, or one removed from a tree); removing hands the child
    back as a tree of its own."""

    __slots__ = ("_item",)

    def __init__(self, item):
        self._item = item

    def __len__(self):
        return self._item._child_count()

    def __getitem__(self, index):
        if isinstance(index, slice):
            return [self._item._child(i) for i in range(*index.indices(len(self)))]
        return self._item._child(index)

    def __setitem__(self, index, child):
        if isinstance(index, slice):
            raise TypeError("children are replaced one at a time")
        index = range(len(self))[index]
        if child is self._item._child(index):
            return
        self._item._insert(index + 1, child)
        self._item._pop(index)

    def __delitem__(self, index):
        if isinstance(index, slice):
            for i in sorted(range(*index.indices(len(self))), reverse=True):
                self._item._pop(i)
        else:
            self._item._pop(index)

    def insert(self, index, child):
        self._item._insert(index, child)

    def pop(self, index=-1):
        return self._item._pop(index)

    def remove(self, child):
        for i in range(len(self)):
            if self._item._child(i) is child:
                self._item._pop(i)
                return
        raise ValueError("not a child of this item")

    def __repr__(self):
        return f"<children of {self._item!r}: {len(self)}>"


class _TranslationItems(ItemsView):
    __slots__ = ()

    def __iter__(self):
        return iter(self._mapping._item._trans_items())


class _TranslationValues(ValuesView):
    __slots__ = ()

    def __iter__(self):
        return iter(self._mapping._item._trans_values())


class Translations(MutableMapping):
    """An item's translations by language id. Assigning a str creates the
    translation or updates its text; assigning a Translation without an item
    moves it in. Removing one hands it back, detached."""

    __slots__ = ("_item",)

    def __init__(self, item):
        self._item = item

    def __getitem__(self, lang):
        trans = self._item._trans(lang)
        if trans is None:
            raise KeyError(lang)
        return trans

    def __setitem__(self, lang, value):
        self._item._set_trans(lang, value)

    def __delitem__(self, lang):
        if self._item._pop_trans(lang) is None:
            raise KeyError(lang)

    def pop(self, lang, *default):
        trans = self._item._pop_trans(lang)
        if trans is None:
            if default:
                return default[0]
            raise KeyError(lang)
        return trans

    def __iter__(self):
        return iter(self._item._langs())

    # One call into the library for the whole map.
    def items(self):
        return _TranslationItems(self)

    def values(self):
        return _TranslationValues(self)

    def __len__(self):
        return len(self._item._langs())

    def __repr__(self):
        return f"<translations of {self._item!r}: {self._item._langs()}>"


class Props(MutableMapping):
    """A property container: names (str, or int for numeric names) to
    values converted by class. A new value keeps the class of the one it
    replaces; set() names the class of a new property."""

    __slots__ = ("_owner", "_cfg")

    def __init__(self, owner, cfg=False):
        self._owner = owner
        self._cfg = cfg

    def __getitem__(self, name):
        return _locmodel._prop_get(self._owner, self._cfg, name)

    def __setitem__(self, name, value):
        _locmodel._prop_set(self._owner, self._cfg, name, value, None)

    def set(self, name, value, cls=None):
        """Stores value as a property of the class named cls ("CItemIdProp",
        ...), or of the class the value or the stored one suggests."""
        _locmodel._prop_set(self._owner, self._cfg, name, value, cls)

    def class_of(self, name):
        """The C++ class name of the stored value: "CStrProp", ..."""
        return _locmodel._prop_class(self._owner, self._cfg, name)

    def __delitem__(self, name):
        _locmodel._prop_del(self._owner, self._cfg, name)

    def __iter__(self):
        return iter(_locmodel._prop_names(self._owner, self._cfg))

    def __len__(self):
        return len(_locmodel._prop_names(self._owner, self._cfg))

    def __repr__(self):
        return f"<props {dict(self)!r}>"


class Config(MutableMapping):
    """The declared configuration properties as an item sees them: its own
    value, the nearest ancestor's or the default. Setting stores through the
    property's accessor; deleting resets the item's own value."""

    __slots__ = ("_item",)

    def __init__(self, item):
        self._item = item

    def __getitem__(self, name):
        return self._item._config_get(name)

    def __setitem__(self, name, value):
        self._item._config_set(name, value)

    def __delitem__(self, name):
        self._item._config_reset(name)

    def source(self, name):
        """"own", "inherited", "default", or "invalid" when the nearest value
        is of another class (the default is then in effect)."""
        return self._item._config_source(name)

    def __iter__(self):
        return iter(_locmodel._config_names())

    def __len__(self):
        return len(_locmodel._config_names())

    def __repr__(self):
        return f"<config of {self._item!r}>"


Item.children = property(Children, doc="The children, a sequence view.")
Item.translations = property(Translations, doc="Translations by language id, a mapping view.")
Item.props = property(Props, doc="The item's own properties.")
Item.cfg = property(lambda item: Props(item, True), doc="The configuration properties the item holds itself.")
Item.config = property(Config, doc="Effective configuration values, through the catalog.")
Translation.props = property(Props, doc="The translation's properties (text #2, data #1, ...).")
