// Check-as-you-type client core: moz.
kwirl.core = kwirl.core || {};
kwirl.core.moz = true;
