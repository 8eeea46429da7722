// Check-as-you-type client texts (German).
kwirl.texts = { spelling: '<#tx_no10#>', suggestions: '<#tx_no14#>', none: '<#tx_no15#>', ignore: '<#tx_no17#>', add: '<#tx_no18#>' };
