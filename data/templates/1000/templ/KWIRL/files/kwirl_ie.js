// Check-as-you-type client core: ie.
kwirl.core = kwirl.core || {};
kwirl.core.ie = true;
