"""Python values as the print objects take them over the bus, and their results back.

Every parameter is a variant: bool is Boolean (b), int Long (i, or x past 32 bits, which the
server takes while it fits), float Double (d), decimal.Decimal Currency ((sx): "Currency" and the
amount in ten-thousandths, rounded to four places as Currency is), str String (s), a datetime
or date a Date ((sd): "Date" and the days since 30 December 1899), None Null and Empty Empty
(each (s)).
"""
import datetime
import decimal
import math
from typing import Union

from dbus_next import Variant

_EPOCH = datetime.datetime(1899, 12, 30)
_DAY = datetime.timedelta(days=1)


class _EmptyType:
    """The dynamic value Empty: an argument that holds nothing (not Null, not 0, not "")."""
    _instance = None

    def __new__(cls):
        if cls._instance is None:
            cls._instance = super().__new__(cls)
        return cls._instance

    def __repr__(self):
        return "Empty"

    def __bool__(self):
        return False


Empty = _EmptyType()


class _OmittedType:
    """An optional parameter left out: it is not sent, so the member's own rule applies."""

    def __repr__(self):
        return "OMITTED"


OMITTED = _OmittedType()

# What the signatures show: a number a member takes with its fractions, and any value.
Number = Union[int, float, decimal.Decimal]
Value = Union[None, bool, int, float, decimal.Decimal, str, datetime.date, _EmptyType]

_CURRENCY_LIMIT = 2**63


def date_number(moment):
    """The days since 30 December 1899; before it the whole days count back while the time of
    day still counts forward (6:00 on 29 December 1899 is -1.25), as the platform's dates do."""
    if not isinstance(moment, datetime.datetime):
        moment = datetime.datetime.combine(moment, datetime.time())
    delta = moment.replace(tzinfo=None) - _EPOCH
    fraction = (delta.seconds + delta.microseconds / 1e6) / 86400
    return delta.days + fraction if delta.days >= 0 else delta.days - fraction


def date_value(number):
    whole = math.trunc(number)
    return _EPOCH + whole * _DAY + abs(number - whole) * _DAY


def to_variant(value):
    if value is None:
        return Variant("(s)", ["Null"])
    if value is Empty:
        return Variant("(s)", ["Empty"])
    if isinstance(value, bool):
        return Variant("b", value)
    if isinstance(value, int):
        return Variant("i" if -2**31 <= value < 2**31 else "x", value)
    if isinstance(value, float):
        return Variant("d", value)
    if isinstance(value, decimal.Decimal):
        return Variant("(sx)", ["Currency", _ten_thousandths(value)])
    if isinstance(value, str):
        return Variant("s", value)
    if isinstance(value, (datetime.date, datetime.datetime)):
        return Variant("(sd)", ["Date", date_number(value)])
    if isinstance(value, dict) and all(isinstance(k, str) and isinstance(v, str)
                                       for k, v in value.items()):
        return Variant("a{ss}", value)
    raise TypeError(f"a print object takes no {type(value).__name__} ({value!r})")


def _ten_thousandths(amount):
    if not amount.is_finite():
        raise ValueError(f"Currency holds no {amount}")
    scaled = int(amount.scaleb(4).to_integral_value(rounding=decimal.ROUND_HALF_EVEN))
    if not -_CURRENCY_LIMIT <= scaled < _CURRENCY_LIMIT:
        raise OverflowError(f"{amount} is past Currency's range (922 337 203 685 477.5807)")
    return scaled


def from_wire(value):
    """A result as Python holds it: variants unwrapped (a property's value is a variant inside
    the variant), Empty, Null and dates back to Empty, None and datetime."""
    while isinstance(value, Variant):
        signature, value = value.signature, value.value
        if signature == "(s)":
            return Empty if value[0] == "Empty" else None
        if signature == "(sd)":
            return date_value(value[1])
    return value
