"""The entries of an extraction settings file (*.kta), for the scripts that
write samples and presets: sixteen 50-byte fields per entry, in the file's
order, spaces written "[SP]"."""

ORDER = ["japaneseCodeEndTag", "japaneseCodeStartTag", "nextLineHead", "lineEnd", "contentEndTag",
         "contentStartTag", "encodingEndTag", "encodingStartTag", "searchAfterPrevious", "applyToMultiple",
         "name", "rangeEndTag", "rangeStartTag", "kind", "dataTypeEndTag", "dataTypeStartTag"]


def entry(kind, name, start, end, multiple=False, **more):
    e = {k: b"" for k in ORDER}
    e.update(kind=kind.encode(), name=name.encode("cp932"), rangeStartTag=start, rangeEndTag=end,
             applyToMultiple=b"Y" if multiple else b"N", searchAfterPrevious=b"N")
    e.update(more)
    data = b""
    for k in ORDER:
        v = e[k].replace(b" ", b"[SP]")
        assert len(v) <= 50, (name, k)
        data += v + b" " * (50 - len(v))
    return data
